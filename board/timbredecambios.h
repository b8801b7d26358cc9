#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace Ado {
class Connection;
}

// Whether an idle board on PostgreSQL need ask its change question at this tick. Each question
// wakes a server process, and a board that asked every few seconds would cost the server that
// much while nobody works. So one board of the database at a time, the bell-ringer, asks the
// server each second which tables were written since it last asked and rings the channels of
// those some board listens for (the schema's teqvaro_timbre); every board listens on the
// channels of its view's tables and asks only when rung. A board also asks, and offers to
// become the bell-ringer, every `revision`: a bell-ringer that went away costs the others at
// most that long, and a new one rings every board once for what the old one had not rung yet.
//
// A standby cannot listen, nor can a connection opened read-only on purpose, nor a database
// without the bell: there every tick asks, as it always did. Lives on the reading thread.
class TimbreDeCambios final
{
public:
    using Reloj = std::function<std::chrono::steady_clock::time_point()>;
    struct Ajustes
    {
        std::chrono::seconds revision{30};
        Reloj reloj{&std::chrono::steady_clock::now};
    };

    TimbreDeCambios();
    explicit TimbreDeCambios(Ajustes ajustes);

    // `tablas`: those of the view shown. A failure of the connection is raised, as the
    // question's own would be; any other leaves this connection asking every tick.
    bool hayQuePreguntar(Ado::Connection &conexion, const QStringList &tablas);
    bool esQuienToca() const { return m_fichaDelTimbre.has_value(); }
    // The board that rings also rings between its reloads, each second of its timer, so that
    // a change reaches the others' next reload within that second. A failure is left for the
    // next question to find.
    void tocaSiLeToca(Ado::Connection &conexion);
    // The board reads from a standby now: it stops listening on the session's server, and
    // leaves the ringing to a board that reads there.
    void calla(Ado::Connection &principal);

private:
    bool escucha(Ado::Connection &conexion, const QStringList &tablas, const QSet<QString> &canales);
    void toca(Ado::Connection &conexion);
    void ofrece(Ado::Connection &conexion);
    bool sono(Ado::Connection &conexion);
    void suelta(Ado::Connection &conexion);
    void abandona(Ado::Connection &conexion);

    Ajustes m_ajustes;
    QString m_conexion; // the connection listened on, by name
    QSet<QString> m_canales;
    QStringList m_tablas; // whose shared locks it holds
    bool m_sinTimbre = false;
    std::optional<QString> m_fichaDelTimbre; // this board rings: the snapshot of its last ring
    std::chrono::steady_clock::time_point m_revision;
};
