#include "servicios/procesossql.h"

#include "dialogonota.h"

#include "servicios/cierreoportunidad.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "runtime/error.h"

#include <QApplication>
#include <QPointer>

#include <optional>

namespace Servicios {
namespace {

QString descripcionDe(std::exception_ptr falla)
{
    return Runtime::toRuntimeError(falla).description();
}

// The text typed in the capture dialog; nothing when the user cancelled.
std::optional<QString> capturaNota(const ClaseDeNota &clase, const QString &entidad, const QString &clave)
{
    QPointer<DialogoNota> dialogo = new DialogoNota(clase, entidad, clave, QApplication::activeWindow());
    const bool aceptado = dialogo->exec() == QDialog::Accepted;
    if (dialogo.isNull())
        return std::nullopt;
    const QString nota = dialogo->nota();
    delete dialogo.data();
    return aceptado ? std::optional<QString>(nota) : std::nullopt;
}

} // namespace

ProcesosSql::ProcesosSql(Entorno &entorno, Funciones &funciones)
    : m_entorno(entorno)
    , m_funciones(funciones)
{ }

bool ProcesosSql::RegistraSeguimiento(const QString &entidad, const QString &clave, const QString & /*extra1*/,
                                      const QString & /*extra2*/)
{
    return registraNota(ClaseDeNota::seguimiento(), entidad, clave);
}

bool ProcesosSql::RegistraEvento(const QString &entidad, const QString &clave, const QString & /*extra1*/,
                                 const QString & /*extra2*/)
{
    return registraNota(ClaseDeNota::evento(), entidad, clave);
}

bool ProcesosSql::registraNota(const ClaseDeNota &clase, const QString &entidad, const QString &clave)
{
    const std::optional<QString> nota = capturaNota(clase, entidad, clave);
    if (!nota)
        return falla(QStringLiteral("No se registró %1: se canceló la captura.").arg(clase.conArticulo));
    try {
        m_entorno.Conexion()->Execute(
            QStringLiteral("INSERT INTO ") + clase.tabla + QStringLiteral(" (") + clase.columnas
            + QStringLiteral(") VALUES ('") + Ado::quoted(entidad) + QStringLiteral("', '") + Ado::quoted(clave)
            + QStringLiteral("', '") + Ado::quoted(*nota) + QStringLiteral("', '") + Ado::quoted(m_entorno.Operador())
            + QStringLiteral("', '") + Ado::quoted(m_funciones.FormatoFechaModificacion(m_funciones.FechaActual()))
            + QStringLiteral("')"));
    } catch (...) {
        return falla(
            QStringLiteral("No se registró %1: %2").arg(clase.conArticulo, descripcionDe(std::current_exception())));
    }
    return exito();
}

bool ProcesosSql::CierraOportunidad(const QString &folio, qint32 resultado, const QString &causa)
{
    QString motivo;
    try {
        const std::shared_ptr<Ado::Connection> conexion = m_entorno.Conexion();
        Ado::Transaction transaccion(*conexion);
        motivo = CierreOportunidad(*conexion, m_funciones, m_entorno.Operador()).cierra(folio, resultado, causa);
        if (motivo.isEmpty())
            transaccion.commit();
    } catch (...) {
        return falla(descripcionDe(std::current_exception()));
    }
    return motivo.isEmpty() ? exito() : falla(motivo);
}

QString ProcesosSql::UltimoError()
{
    return m_ultimoError;
}

bool ProcesosSql::exito()
{
    m_ultimoError.clear();
    return true;
}

bool ProcesosSql::falla(const QString &motivo)
{
    m_ultimoError = motivo;
    return false;
}

} // namespace Servicios
