// The server the automatic reload reads from, and how the board judges a hot standby fit.
#include "servidordelectura.h"

#include "publico.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

#include <QDebug>

namespace {

// Positions come as the number of bytes since the log's start: they compare as numbers.
quint64 posicion(const QVariant &campo)
{
    return campo.isNull() ? 0 : campo.toString().toULongLong();
}

// Every value can be read by an ordinary role: the receiver's details are a superuser's, but
// whether it runs (its process) is anyone's.
EstadoDeLaReserva leeEstado(Ado::Connection &reserva)
{
    const Ado::Recordset fila = reserva.Execute(QStringLiteral(
        "SELECT pg_is_in_recovery(), EXISTS (SELECT 1 FROM pg_stat_wal_receiver WHERE pid IS NOT NULL), "
        "CAST(pg_last_wal_receive_lsn() - '0/0' AS text), CAST(pg_last_wal_replay_lsn() - '0/0' AS text), "
        "EXTRACT(EPOCH FROM now() - pg_last_xact_replay_timestamp())"));
    EstadoDeLaReserva estado{fila.field(0).toBool(), fila.field(1).toBool(), posicion(fila.field(2)),
                             posicion(fila.field(3)), std::nullopt};
    if (!fila.field(4).isNull())
        estado.segundosDesdeLoAplicado = fila.field(4).toDouble();
    return estado;
}

} // namespace

// Replaying what it received takes a standby a moment; when it has more to replay, its rows are
// as old as the last commit it replayed. Measured on the standby alone, which costs the
// primary nothing, and only as a bound: a quiet primary's last commit may be long ago.
std::optional<std::chrono::duration<double>> EstadoDeLaReserva::atraso() const
{
    if (aplicada >= recibida)
        return std::chrono::duration<double>::zero();
    if (!segundosDesdeLoAplicado)
        return std::nullopt;
    return std::chrono::duration<double>(*segundosDesdeLoAplicado);
}

const QString ServidorDeLectura::variable = QStringLiteral("CRM_BD_LECTURA_OPORTUNIDADES");

ServidorDeLectura::ServidorDeLectura()
    : ServidorDeLectura(Ajustes{})
{ }

ServidorDeLectura::ServidorDeLectura(Ajustes ajustes)
    : m_ajustes(std::move(ajustes))
{ }

ServidorDeLectura::~ServidorDeLectura() = default;

// A name that cannot be used is said in the log once, and the board reads as it always did.
std::optional<Ado::DatabaseAddress> ServidorDeLectura::reservaNombrada(Ado::Connection &sesion)
{
    if (sesion.engine() != Ado::Engine::PostgreSQL)
        return std::nullopt;
    std::optional<Ado::DatabaseAddress> direccion = Ado::Session::standby();
    QString url;
    try {
        if (!direccion) {
            url = Runtime::toText(Publico::Entorno->LeeVariable(variable, 0, QStringLiteral("T"), QString())).trimmed();
            if (url.isEmpty())
                return std::nullopt;
            direccion = Ado::DatabaseAddress::parse(url);
            if (direccion->engine != Ado::Engine::PostgreSQL)
                Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue,
                               QStringLiteral("no es la dirección de un servidor PostgreSQL"));
        }
    } catch (...) {
        qWarning().noquote() << QStringLiteral("La variable %1 («%2») no nombra un servidor de lectura que se pueda "
                                               "usar; las lecturas automáticas van al servidor principal: %3")
                                    .arg(variable, url,
                                         Runtime::toRuntimeError(std::current_exception()).description());
        return std::nullopt;
    }
    direccion->user = sesion.address().user;
    direccion->password = sesion.address().password;
    direccion->readOnly = true;
    return direccion;
}

Ado::Connection &ServidorDeLectura::principal(const Ado::DatabaseAddress &direccion)
{
    if (!m_principal || m_principal->address() != direccion || m_principal->isBroken())
        m_principal = std::make_unique<Ado::Connection>(direccion);
    return *m_principal;
}

Ado::Connection &ServidorDeLectura::elegida(const Servidores &servidores)
{
    return m_enReserva && m_conexion ? *m_conexion : principal(servidores.principal);
}

Ado::Connection *ServidorDeLectura::principalAbierta() const
{
    return m_principal && !m_principal->isBroken() ? m_principal.get() : nullptr;
}

void ServidorDeLectura::olvidaConexiones()
{
    m_principal.reset();
    m_conexion.reset();
    m_enReserva = false;
}

Ado::Connection &ServidorDeLectura::elige(const Servidores &servidores)
{
    m_enReserva = false;
    if (!servidores.reserva || !notaLasEscrituras(servidores) || (m_reintento && m_ajustes.reloj() < *m_reintento))
        return principal(servidores.principal);
    m_nombreDeLaReserva = servidores.reserva->toDisplayString();
    try {
        if (!m_conexion || m_conexion->address() != *servidores.reserva || m_conexion->isBroken())
            m_conexion = std::make_unique<Ado::Connection>(*servidores.reserva);
        const Motivo motivo = juzga(leeEstado(*m_conexion), m_ajustes.reloj());
        cuenta(motivo);
        if (motivo == Motivo::NoEsReserva) {
            m_conexion.reset();
            m_reintento = m_ajustes.reloj() + m_ajustes.reintento;
        }
        m_enReserva = motivo == Motivo::Ninguno;
    } catch (...) {
        aparta(std::current_exception());
    }
    if (!m_enReserva)
        return principal(servidores.principal);
    m_reintento.reset();
    m_esperada.reset();
    return *m_conexion;
}

// After this process writes, the primary's log position is noted (its commit is already in
// the log: this thread wrote and waited for it), and the standby is fit again only once it has
// replayed that far. While a transaction is open, or the primary cannot say, the primary reads.
bool ServidorDeLectura::notaLasEscrituras(const Servidores &servidores)
{
    if (servidores.escrituras == m_escriturasVistas)
        return true;
    if (servidores.enTransaccion)
        return false;
    try {
        m_esperada = posicion(principal(servidores.principal)
                                  .Execute(QStringLiteral("SELECT CAST(pg_current_wal_insert_lsn() - '0/0' AS text)"))
                                  .field(0));
    } catch (...) {
        return false;
    }
    m_escriturasVistas = servidores.escrituras;
    return true;
}

// The last replayed commit may be long ago only because the primary was quiet: the standby
// is then no further behind than since it was last seen with nothing left to replay.
ServidorDeLectura::Motivo ServidorDeLectura::juzga(const EstadoDeLaReserva &estado,
                                                   std::chrono::steady_clock::time_point ahora)
{
    if (!estado.enRecuperacion)
        return Motivo::NoEsReserva;
    if (!estado.recibe)
        return Motivo::NoRecibe;
    std::optional<std::chrono::duration<double>> atraso = estado.atraso();
    if (atraso && *atraso == std::chrono::duration<double>::zero())
        m_alDia = ahora;
    else if (m_alDia)
        atraso = std::min(atraso.value_or(ahora - *m_alDia), std::chrono::duration<double>(ahora - *m_alDia));
    if (!atraso || *atraso > m_ajustes.atrasoMaximo)
        return Motivo::Atrasada;
    if (m_esperada && estado.aplicada < *m_esperada)
        return Motivo::EscrituraPropia;
    return Motivo::Ninguno;
}

// The standby failed: the session's server answers until it is tried again.
void ServidorDeLectura::aparta(std::exception_ptr falla)
{
    m_enReserva = false;
    m_conexion.reset();
    m_reintento = m_ajustes.reloj() + m_ajustes.reintento;
    cuenta(Motivo::Inalcanzable, Runtime::toRuntimeError(falla).description());
}

// Each change of the reason the standby is not read is said once in the log, not each tick;
// waiting for this user's own write to be replayed is ordinary and says nothing.
void ServidorDeLectura::cuenta(Motivo motivo, const QString &detalle)
{
    if (motivo == m_motivoDicho || motivo == Motivo::EscrituraPropia)
        return;
    const QString &servidor = m_nombreDeLaReserva;
    const QString alPrincipal = QStringLiteral("; las lecturas automáticas van al servidor principal");
    switch (motivo) {
    case Motivo::Ninguno:
        qInfo().noquote() << QStringLiteral("Las lecturas automáticas van al servidor de lectura %1").arg(servidor);
        break;
    case Motivo::NoEsReserva:
        qWarning().noquote() << QStringLiteral("El servidor de lectura %1 no es una réplica en espera").arg(servidor)
                                    + alPrincipal;
        break;
    case Motivo::NoRecibe:
        qInfo().noquote()
            << QStringLiteral("El servidor de lectura %1 no está recibiendo los cambios del principal").arg(servidor)
                   + alPrincipal;
        break;
    case Motivo::Atrasada:
        qInfo().noquote() << QStringLiteral("El servidor de lectura %1 va más de %2 s atrás del principal")
                                     .arg(servidor)
                                     .arg(m_ajustes.atrasoMaximo.count())
                                 + alPrincipal;
        break;
    case Motivo::Inalcanzable:
        qWarning().noquote()
            << QStringLiteral("No se pudo usar el servidor de lectura %1 (%2)").arg(servidor, detalle) + alPrincipal
                   + QStringLiteral(" y se intentará de nuevo en %1 s").arg(m_ajustes.reintento.count());
        break;
    case Motivo::EscrituraPropia: break;
    }
    m_motivoDicho = motivo;
}
