#pragma once

// The board as the measurements drive it: a fresh form with a host object, shown until its
// list is painted with every row.

#include "frmKLD251.h"

#include <QObject>

#include <chrono>
#include <set>

class QAbstractItemModel;
class QTimer;

namespace Kit {
class ListView;
}

namespace Ado {
struct DatabaseAddress;
}

namespace Banco {

// The operator of every measured session: a level-3 salesperson, who sees every row.
inline const QString operadorDelBanco = QStringLiteral("GERENTE");

// The first load of a million rows takes a while; an hour means the board is stuck.
constexpr std::chrono::minutes limiteDePintura(60);

// The session of that operator on this database, with the module started afresh; a SQLite
// file goes to write-ahead logging, as the host puts it at sign-in.
void iniciaSesion(const Ado::DatabaseAddress &direccion);
void terminaSesion();

// A host object that only lets the board close it.
class Anfitrion final : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void close() { }
};

class Tablero
{
public:
    // A board of the current session, built but not shown: its list stays empty until the
    // first activation loads it.
    explicit Tablero(int filas);
    ~Tablero();
    Tablero(const Tablero &) = delete;
    Tablero &operator=(const Tablero &) = delete;

    // Shows the board and returns once its list has been painted holding every row; false
    // when that did not happen within the limit.
    bool muestra(std::chrono::milliseconds limite);

    // A reload as F5 asks for it, up to the painted list.
    void recargaPintada();
    // The same from an emptied list, so that freeing the rows it replaces is part of its
    // cost; the list keeps its columns, as for F5.
    void recargaCompleta();

    Kit::ListView &lista() { return m_lista; }
    // The timer whose ticks start the automatic refreshes.
    QTimer &temporizador();
    // Whether an automatic refresh is reading or waits to be shown.
    bool refrescando() const;
    // Runs the event loop until no automatic refresh is under way.
    void esperaFinDelRefresco();
    int filas() const { return m_filas; }
    int listadas() const;
    // Warns when the list does not hold the rows the database has.
    void revisaCuenta(const char *despuesDe) const;

private:
    Anfitrion m_anfitrion;
    frmKLD251 m_formulario;
    Kit::ListView &m_lista;
    int m_filas;
};

// How many rows a reload made the list's model announce as changed: a reset or a layout
// change counts every row.
class RenglonesTocados final : public QObject
{
public:
    RenglonesTocados(const QAbstractItemModel &modelo, int filas);

    void olvida();
    int cuenta() const;

private:
    int m_filas;
    int m_completos = 0;
    int m_insertadosOQuitados = 0;
    std::set<int> m_cambiados;
};

} // namespace Banco
