#pragma once

#include "lecturasql.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Ado {
class Connection;
}

// What the board knows of a view's statement on its database, learnt once per statement.
struct EstudioDeVista
{
    // The tables whose writes can change its rows; none when the board cannot tell (SQLite,
    // a function it cannot look into, a table without the change notes): then any commit to
    // the database counts.
    std::optional<QStringList> tablas;
    bool dependeDelReloj = true;
    QString porque; // why it depends on the clock
    // Its rows come one per opportunity, in the order of the folios, each made of its own
    // opportunity's row alone (no other opportunity's, no window over the others): the rows
    // of the opportunities that changed can be read again alone. None: read it whole.
    std::optional<Sql::OrdenPorFolio> porFolio;
    QString intercalacionDelFolio; // the collation it orders the folios by, as SQL names it
};

// Whether the rows of a view may have changed since they were read: on PostgreSQL, only the
// commits to the tables the view reads count, and when only opportunities changed, which
// ones; on SQLite, any commit to the file. A token (the database's snapshot or change count)
// marks when the rows shown were read.
class CambiosDeLaVista final
{
public:
    struct Respuesta
    {
        enum class Que { Nada, Oportunidades, Todo };
        Que que = Que::Todo;
        QStringList folios; // the opportunities that changed, for `Oportunidades`
        QString ficha;      // the token the rows are as of, once read again (or now, for `Nada`)
        // The view's stored query, or the salesperson's level that filters it, may have changed
        // too: the statement to read is made again before the reading.
        bool consultaCambiada = true;
    };

    const EstudioDeVista &estudia(Ado::Connection &conexion, const QString &sql);
    // `mostrada`: the token of the rows shown; none asks for everything.
    Respuesta pregunta(Ado::Connection &conexion, const QString &sql, const std::optional<QString> &mostrada);

    // More changed opportunities than this are read as a whole view.
    static constexpr int maximoDeFolios = 1000;

private:
    QHash<QString, EstudioDeVista> m_estudios;
};

// A list of texts as PostgreSQL reads an array of them, for one bound value.
QString arregloDeTextos(const QStringList &textos);
