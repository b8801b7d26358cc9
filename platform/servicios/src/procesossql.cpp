#include "servicios/procesossql.h"

#include "servicios/cierreoportunidad.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "runtime/error.h"

#include <optional>

namespace Servicios {
namespace {

QString descripcionDe(std::exception_ptr falla)
{
    return Runtime::toRuntimeError(falla).description();
}

// Where each kind of note is stored, and how its messages name it.
struct DestinoDeNota
{
    QString tabla;
    QString columnas;    // entity, key, note, operator, date
    QString conArticulo; // "el seguimiento"
};

const DestinoDeNota &destinoDe(TipoDeNota tipo)
{
    static const DestinoDeNota seguimiento{QStringLiteral("Seguimiento"),
                                           QStringLiteral("Sg_Entidad, Sg_Clave, Sg_Nota, Sg_Operador, Sg_Fecha"),
                                           QStringLiteral("el seguimiento")};
    static const DestinoDeNota evento{QStringLiteral("Evento"),
                                      QStringLiteral("Ev_Entidad, Ev_Clave, Ev_Descripcion, Ev_Operador, Ev_Fecha"),
                                      QStringLiteral("el evento")};
    return tipo == TipoDeNota::Seguimiento ? seguimiento : evento;
}

} // namespace

ProcesosSql::ProcesosSql(Entorno &entorno, Funciones &funciones)
    : m_entorno(entorno)
    , m_funciones(funciones)
{ }

bool ProcesosSql::RegistraSeguimiento(const QString &entidad, const QString &clave, const QString & /*extra1*/,
                                      const QString & /*extra2*/)
{
    return registraNota(TipoDeNota::Seguimiento, entidad, clave);
}

bool ProcesosSql::RegistraEvento(const QString &entidad, const QString &clave, const QString & /*extra1*/,
                                 const QString & /*extra2*/)
{
    return registraNota(TipoDeNota::Evento, entidad, clave);
}

bool ProcesosSql::registraNota(TipoDeNota tipo, const QString &entidad, const QString &clave)
{
    const DestinoDeNota &destino = destinoDe(tipo);
    const std::optional<QString> nota = Fabrica::actual().capturaDeNota(tipo, entidad, clave);
    if (!nota)
        return falla(QStringLiteral("No se registró %1: se canceló la captura.").arg(destino.conArticulo));
    try {
        m_entorno.Conexion()->Execute(QStringLiteral("INSERT INTO ") + destino.tabla + QStringLiteral(" (")
                                          + destino.columnas + QStringLiteral(") VALUES (?, ?, ?, ?, ?)"),
                                      Ado::texts({entidad, clave, *nota, m_entorno.Operador(),
                                                  m_funciones.FormatoFechaModificacion(m_funciones.FechaActual())}));
    } catch (...) {
        return falla(
            QStringLiteral("No se registró %1: %2").arg(destino.conArticulo, descripcionDe(std::current_exception())));
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
