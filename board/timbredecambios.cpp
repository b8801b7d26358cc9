#include "timbredecambios.h"

#include "cambiosdelavista.h"

#include "ado/connection.h"
#include "runtime/error.h"

#include <QDebug>

namespace {

const QString prefijo = QStringLiteral("teqvaro_");
const QString canalDeTodo = QStringLiteral("teqvaro_todo"); // rung by a new bell-ringer

QSet<QString> canalesDe(const QStringList &tablas)
{
    QSet<QString> canales{canalDeTodo};
    for (const QString &tabla : tablas)
        canales.insert(prefijo + tabla);
    return canales;
}

} // namespace

TimbreDeCambios::TimbreDeCambios()
    : TimbreDeCambios(Ajustes{})
{ }

TimbreDeCambios::TimbreDeCambios(Ajustes ajustes)
    : m_ajustes(std::move(ajustes))
{ }

bool TimbreDeCambios::hayQuePreguntar(Ado::Connection &conexion, const QStringList &tablas)
{
    if (conexion.engine() != Ado::Engine::PostgreSQL || conexion.address().readOnly)
        return true;
    if (conexion.name() != m_conexion) { // a new session: it listens on nothing and holds no lock
        m_conexion = conexion.name();
        m_canales.clear();
        m_tablas.clear();
        m_sinTimbre = false;
        m_fichaDelTimbre.reset();
    }
    if (m_sinTimbre)
        return true;
    const auto ahora = m_ajustes.reloj();
    bool revision = ahora >= m_revision;
    if (const QSet<QString> canales = canalesDe(tablas); canales != m_canales) {
        if (!escucha(conexion, tablas, canales))
            return true;
        revision = true; // what was written before it listened is asked now
    }
    if (revision)
        m_revision = ahora + m_ajustes.revision;
    if (m_fichaDelTimbre)
        toca(conexion);
    else if (revision)
        ofrece(conexion);
    return sono(conexion) || revision || m_sinTimbre;
}

// Listens for the view's tables and lets the ringer know (their shared locks).
bool TimbreDeCambios::escucha(Ado::Connection &conexion, const QStringList &tablas, const QSet<QString> &canales)
{
    try {
        conexion.listen(QStringList(canales.cbegin(), canales.cend()));
        if (!m_tablas.isEmpty())
            conexion.Execute(QStringLiteral("SELECT pg_advisory_unlock_shared(251255, hashtext(t)) FROM "
                                            "unnest(CAST(? AS text[])) AS t"),
                             {arregloDeTextos(m_tablas)});
        m_tablas.clear();
        conexion.Execute(QStringLiteral("SELECT pg_advisory_lock_shared(251255, hashtext(t)) FROM "
                                        "unnest(CAST(? AS text[])) AS t"),
                         {arregloDeTextos(tablas)});
        m_tablas = tablas;
        m_canales = canales;
        return true;
    } catch (...) {
        abandona(conexion);
        return false;
    }
}

// Rings the channels of the tables written since this board last rang. Asked each second: its
// value goes in its text, one round trip.
void TimbreDeCambios::toca(Ado::Connection &conexion)
{
    try {
        m_fichaDelTimbre = conexion
                               .Execute(QStringLiteral("SELECT teqvaro_timbre(CAST(%1 AS pg_snapshot))")
                                            .arg(conexion.literal(*m_fichaDelTimbre)))
                               .field(0)
                               .toString();
    } catch (...) {
        abandona(conexion);
    }
}

void TimbreDeCambios::tocaSiLeToca(Ado::Connection &conexion)
{
    if (m_fichaDelTimbre && !m_sinTimbre && conexion.name() == m_conexion)
        toca(conexion);
}

// Offers to ring: the server lets one session of the database do it at a time.
void TimbreDeCambios::ofrece(Ado::Connection &conexion)
{
    try {
        const QVariant ficha = conexion.Execute(QStringLiteral("SELECT teqvaro_timbre(NULL)")).field(0);
        if (ficha.isNull())
            return;
        m_fichaDelTimbre = ficha.toString();
        qInfo().noquote() << QStringLiteral("Este tablero avisa a los demás de los cambios de sus tablas");
    } catch (...) {
        abandona(conexion);
    }
}

void TimbreDeCambios::calla(Ado::Connection &principal)
{
    if (principal.name() != m_conexion || m_canales.isEmpty())
        return;
    suelta(principal);
}

// Listens on nothing and lets go of its locks, the bell's with them.
void TimbreDeCambios::suelta(Ado::Connection &conexion)
{
    m_canales.clear();
    m_tablas.clear();
    m_fichaDelTimbre.reset();
    try {
        conexion.listen({});
        conexion.Execute(QStringLiteral("SELECT pg_advisory_unlock_all()"));
    } catch (...) {
        m_conexion.clear(); // whatever this session still holds goes with it
    }
}

// Whether a channel of this board's view rang (the server sends only those it listens on);
// a link that broke asks, and the question says so.
bool TimbreDeCambios::sono(Ado::Connection &conexion)
{
    const std::optional<QStringList> oidos = conexion.takeNotifications();
    return !oidos || !oidos->isEmpty();
}

// A broken link is the question's to report; any other failure (a database without the bell,
// a person the server lets not listen) leaves this connection asking every tick, and ringing
// for nobody.
void TimbreDeCambios::abandona(Ado::Connection &conexion)
{
    if (conexion.isBroken())
        throw;
    qInfo().noquote() << QStringLiteral("Sin avisos de cambios de la base de datos (%1): el tablero pregunta en cada "
                                        "recarga automática")
                             .arg(Runtime::toRuntimeError(std::current_exception()).description());
    suelta(conexion);
    m_sinTimbre = true;
}
