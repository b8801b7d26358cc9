#pragma once

#include "aspectos.h"
#include "lecturadecambiadas.h"

#include "ado/connection.h"
#include "ado/databaseaddress.h"
#include "controles/listupdate.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

// A reading of the board's list, asked for on the user-interface thread.
struct PedidoDeLectura
{
    Ado::DatabaseAddress direccion;
    QString sql;
    Kit::ListSnapshot mostrada; // what the reading compares the result with
    quint64 generacion = 0;
    std::optional<QString> ficha; // the database's change token just before the reading
    std::chrono::steady_clock::time_point inicio;
    quint64 escrituras = 0; // this process's writes begun before the reading
    // Only these opportunities changed: their rows may be read alone and merged.
    std::optional<Cambiadas> cambiadas;
};

// What a reading brings back to the user-interface thread.
struct LecturaDeFondo
{
    quint64 generacion = 0;
    std::optional<QString> ficha;
    std::chrono::steady_clock::time_point inicio;
    std::weak_ptr<const Kit::TextTable> comparadaCon; // the rows the changes refer to
    std::optional<Kit::ListUpdate> filas;             // none when it was stopped
    Aspectos::Leidos aspectos;
    // When only the changed rows were read (`soloCambiadas`), with a new table: for each of its
    // rows, the row shown whose look it keeps, or -1 for a row read again (its look is in
    // `aspectos`); without one: the rows read again, whose looks `aspectos` holds in order.
    bool soloCambiadas = false;
    std::vector<int> conservada;
    std::vector<int> releidas;
    std::exception_ptr fallaDeLista;    // the view's query did not run
    std::exception_ptr fallaDeAspectos; // the looks could not be read
};

// Reads the board's list on a thread of its own, one reading at a time, through a
// connection of its own that stays open between readings (a connection belongs to the
// thread that opens it, and a new server session for every reading costs the server more
// than the reading of a quiet view), and hands the result to the user-interface thread.
class LectorDeFondo final : public QObject
{
    Q_OBJECT

public:
    explicit LectorDeFondo(std::function<void(LecturaDeFondo)> alTerminar, QObject *parent = nullptr);
    // Stops the reading in progress and waits for its thread.
    ~LectorDeFondo() override;

    // From the start of a reading until its result has been handed over.
    bool leyendo() const { return m_leyendo; }
    void lee(PedidoDeLectura pedido);
    // The reading in progress stops at its next row and brings nothing; it also stops when
    // this process begins to write to its SQLite database.
    void detiene();

private:
    QThreadPool m_hilo;
    QFutureWatcher<LecturaDeFondo> m_vigilante;
    std::shared_ptr<std::atomic_bool> m_detenida;
    // Only the reading thread touches it, and closes it there when the reader goes.
    std::shared_ptr<std::unique_ptr<Ado::Connection>> m_abierta = std::make_shared<std::unique_ptr<Ado::Connection>>();
    std::function<void(LecturaDeFondo)> m_alTerminar;
    bool m_leyendo = false;
};
