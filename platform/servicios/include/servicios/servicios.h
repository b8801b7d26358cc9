#pragma once

#include "servicios/servicios_export.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace Ado {
class Connection;
}
namespace Kit {
class ListView;
}

namespace Servicios {

// Message box styles and answers, as the standard message box flags combine them.
namespace Estilo {
inline constexpr int SiNo = 4;
inline constexpr int Critico = 16;
inline constexpr int Pregunta = 32;
inline constexpr int Exclamacion = 48;
inline constexpr int Informacion = 64;
inline constexpr int SegundoBotonPredeterminado = 256;
} // namespace Estilo
namespace Respuesta {
inline constexpr int Aceptar = 1;
inline constexpr int Si = 6;
inline constexpr int No = 7;
} // namespace Respuesta

// The session's environment: connection, operator, configuration, permissions, messages.
// Every operation raises a runtime error on failure.
class SERVICIOS_EXPORT Entorno
{
public:
    virtual ~Entorno();

    // The open connection; callers fetch it afresh before each use.
    virtual std::shared_ptr<Ado::Connection> Conexion() = 0;
    virtual QString Operador() = 0;
    // tipo "N" numeric, "T" text, "" as stored; the default when the variable is not set.
    virtual QVariant LeeVariable(const QString &nombre, qint32 reservado, const QString &tipo,
                                 const QVariant &predeterminado) = 0;
    // True when the option is NOT available to the operator.
    virtual bool OpcionRestringida(const QString &modulo, const QString &opcion, const QString &leyenda) = 0;
    // Modal message box; returns the button pressed (6 Sí, 7 No, 1 Aceptar).
    virtual qint32 Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario,
                           const QString &modulo, const QString &idError) = 0;
};

// Look-ups, stored queries, list filling, dates, audit log, transaction descriptor.
class SERVICIOS_EXPORT Funciones
{
public:
    virtual ~Funciones();

    virtual QString BuscaCampo(const QString &tabla, const QString &columnaClave, const QString &valorClave,
                               const QString &columnaResultado, qint32 reservado, const QString &extra1,
                               const QString &extra2, const QString &extra3) = 0;
    virtual QString LeeConsulta(const QString &clave) = 0;
    // Replaces the list's columns and rows by the result; false when the SQL did not run,
    // and UltimaFalla then says why ("" after a success).
    virtual bool LlenaLista(const QString &sql, Kit::ListView &lista, qint32 opciones) = 0;
    virtual QString UltimaFalla() const = 0;
    virtual QDateTime FechaActual() = 0;
    virtual QString FormatoFechaBaja(const QDateTime &fecha) = 0;
    virtual QString FormatoFechaModificacion(const QDateTime &fecha) = 0;
    // Writes an audit entry on the shared connection, inside the caller's transaction.
    virtual void RegistraBitacora(const QString &entidad, const QString &clave, const QString &accion) = 0;
    virtual void AccionLista(Kit::ListView &lista) = 0;
    virtual QString VendedorDeOperador(const QString &operador) = 0;
    virtual QString ArmaTransaccion(const QString &transaccionAnfitrion, const QString &sistema) = 0;
    // Sends keys ("\t" is one Tab) to the control that has the focus.
    virtual void EnviaTeclas(const QString &teclas, qint32 reservado) = 0;
};

// CRM postings; a false result is no error: UltimoError says why.
class SERVICIOS_EXPORT Procesos
{
public:
    virtual ~Procesos();

    virtual bool RegistraSeguimiento(const QString &entidad, const QString &clave, const QString &extra1,
                                     const QString &extra2) = 0;
    virtual bool RegistraEvento(const QString &entidad, const QString &clave, const QString &extra1,
                                const QString &extra2) = 0;
    // resultado 1 won, 2 lost (with the lost cause's code).
    virtual bool CierraOportunidad(const QString &folio, qint32 resultado, const QString &causa) = 0;
    virtual QString UltimoError() = 0;
};

// The operator the host signed in (the database is Ado::Session's).
SERVICIOS_EXPORT void estableceOperador(const QString &operador);
SERVICIOS_EXPORT QString operadorDeSesion();

// The two kinds of note the CRM keeps about an entity.
enum class TipoDeNota { Seguimiento, Evento };

// Asks the user for the text of one note about an entity; nothing when the user cancels.
using CapturaDeNota =
    std::function<std::optional<QString>(TipoDeNota tipo, const QString &entidad, const QString &clave)>;

// How the module obtains its three service objects, and how the postings ask the user for a
// note. The library's own implementations are the default; a test may put others in their
// place before the module starts.
struct SERVICIOS_EXPORT Fabrica
{
    std::function<std::unique_ptr<Entorno>()> nuevoEntorno;
    std::function<std::unique_ptr<Funciones>(Entorno &)> nuevasFunciones;
    std::function<std::unique_ptr<Procesos>(Entorno &, Funciones &)> nuevosProcesos;
    // Read at each follow-up or event, so a test may answer for the user at any time. The
    // default shows the note dialog, modal over the active window.
    CapturaDeNota capturaDeNota;

    static Fabrica &actual();
    static void restablece();
};

} // namespace Servicios
