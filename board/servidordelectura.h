#pragma once

#include "ado/databaseaddress.h"

#include <QString>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace Ado {
class Connection;
}

// What a hot standby says of itself, in one cheap statement asked of it alone. Positions in the
// write-ahead log are counted in bytes, as the primary and its standbys count them alike.
struct EstadoDeLaReserva
{
    bool enRecuperacion = false; // it follows a primary, rather than being one
    bool recibe = false;         // its receiver streams the primary's log to it now
    quint64 recibida = 0;        // how far it has received the log...
    quint64 aplicada = 0;        // ...and how far it has replayed it
    // Since the commit it replayed last was committed; none when it has replayed none.
    std::optional<double> segundosDesdeLoAplicado;

    // How far behind the primary its rows are: nothing when it has replayed all it received.
    std::optional<std::chrono::duration<double>> atraso() const;
};

// Where one automatic reload may ask and read, as the user-interface thread knows it when the
// reload begins: the session's server, the standby named for it, and this process's writes.
struct Servidores
{
    Ado::DatabaseAddress principal;
    std::optional<Ado::DatabaseAddress> reserva;
    quint64 escrituras = 0;     // this process's writes to the server begun so far
    bool enTransaccion = false; // the session holds a transaction open
};

// Which server the board's automatic reload asks and reads: a hot standby of the session's
// PostgreSQL server when one is named (the host's `--bd-lectura`, or for a whole team the
// variable CRM_BD_LECTURA_OPORTUNIDADES) and it is fit, so that idle boards cost the primary
// nothing; otherwise the session's own server. The standby is not fit while it is too far
// behind, while it has not replayed this process's latest write (the user would see their own
// work undone for a moment), or while it cannot be reached (then it is tried again a minute
// later). The question and the reading of one reload always go to the same server, chosen at
// the question: a change token read on a server is only compared with rows read there or on a
// server further ahead, so a switch can make a reading too many, never one too few. Lives on
// the reading thread, with one connection to each server, so that no wait on either server
// holds up the window.
class ServidorDeLectura final
{
public:
    using Reloj = std::function<std::chrono::steady_clock::time_point()>;
    struct Ajustes
    {
        std::chrono::seconds atrasoMaximo{30};
        std::chrono::seconds reintento{60};
        Reloj reloj{&std::chrono::steady_clock::now};
    };
    static const QString variable; // the team's setting, in the Variable table

    // The standby named for the session whose connection is given, signed in as its user; none
    // when none is named or the name cannot be used. The host's option wins over the team's
    // variable. Asked once, on the user-interface thread.
    static std::optional<Ado::DatabaseAddress> reservaNombrada(Ado::Connection &sesion);

    ServidorDeLectura();
    explicit ServidorDeLectura(Ajustes ajustes);
    ~ServidorDeLectura();
    ServidorDeLectura(const ServidorDeLectura &) = delete;
    ServidorDeLectura &operator=(const ServidorDeLectura &) = delete;

    // Chooses the server of the next automatic reload and asks its change question there.
    // Should the standby fail the question, it is set aside and the session's server answers.
    template<typename Pregunta> auto pregunta(const Servidores &servidores, Pregunta &&preguntaEn)
    {
        Ado::Connection &elegida = elige(servidores);
        if (!m_enReserva)
            return preguntaEn(elegida);
        try {
            return preguntaEn(elegida);
        } catch (...) {
            aparta(std::current_exception());
        }
        return preguntaEn(principal(servidores.principal));
    }
    // Where the reading of that same reload reads.
    Ado::Connection &elegida(const Servidores &servidores);
    bool enReserva() const { return m_enReserva; }
    // The connection to the session's server, if one is open and sound.
    Ado::Connection *principalAbierta() const;
    // A reading failed: the next one connects afresh.
    void olvidaConexiones();

private:
    enum class Motivo { Ninguno, NoEsReserva, NoRecibe, Atrasada, EscrituraPropia, Inalcanzable };

    Ado::Connection &elige(const Servidores &servidores);
    Ado::Connection &principal(const Ado::DatabaseAddress &direccion);
    bool notaLasEscrituras(const Servidores &servidores);
    Motivo juzga(const EstadoDeLaReserva &estado, std::chrono::steady_clock::time_point ahora);
    void aparta(std::exception_ptr falla);
    void cuenta(Motivo motivo, const QString &detalle = QString());

    Ajustes m_ajustes;
    std::unique_ptr<Ado::Connection> m_principal;
    std::unique_ptr<Ado::Connection> m_conexion; // to the standby
    QString m_nombreDeLaReserva;                 // as the log names it
    bool m_enReserva = false;
    std::optional<Motivo> m_motivoDicho; // what the log was last told
    std::optional<std::chrono::steady_clock::time_point> m_reintento;
    std::optional<std::chrono::steady_clock::time_point> m_alDia; // last seen with nothing left to replay
    // Writes made before the board existed count too: the sign-in may have written.
    quint64 m_escriturasVistas = 0;
    std::optional<quint64> m_esperada; // the primary's log position after this process's latest write
};
