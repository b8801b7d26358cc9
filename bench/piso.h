#pragma once

// The floor of what any board must do, in plain Qt SQL and nothing of the suite's own
// layers: the view's query and one query for the looks of its rows, every value read as
// text.

#include "ado/databaseaddress.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace Banco {

// A connection of the benchmark's own, beside the board's: for the floor, and for the
// changes another user commits while the board is open. Failures throw.
class ConexionPlana
{
public:
    explicit ConexionPlana(const Ado::DatabaseAddress &direccion);
    ~ConexionPlana();
    ConexionPlana(const ConexionPlana &) = delete;
    ConexionPlana &operator=(const ConexionPlana &) = delete;

    void ejecuta(const QString &sentencia);
    QVariant primerValor(const QString &consulta);
    QSqlDatabase &base() { return m_base; }

private:
    QString m_nombre;
    QSqlDatabase m_base;
};

// The view of the level-3 operator: every open opportunity.
QString consultaDeLaVista(ConexionPlana &conexion);

class Piso
{
public:
    Piso(const Ado::DatabaseAddress &direccion, int filas);

    // One run of both queries, in ms.
    double mide();

private:
    int lee(const QString &consulta);

    ConexionPlana m_conexion;
    QString m_vista;
    int m_filas;
    qint64 m_caracteres = 0; // kept, so that no reading can be left out as unused
};

} // namespace Banco
