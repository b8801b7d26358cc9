// The statements of cancel, change of state and closing, as the suite writes them.
#include "accionesoportunidad.h"

#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "runtime/conversions.h"

namespace {

const QString entidad = QStringLiteral("OPORTUNIDAD");

qint64 ejecutaTextoSql(Ado::Connection &conexion)
{
    qint64 afectados = 0;
    conexion.Execute(Publico::TextoSql, &afectados, -1);
    return afectados;
}

// The state is written only over the state the picker showed.
QString mismoEstado(const QString &leido)
{
    if (leido.isEmpty())
        return QStringLiteral(" AND (Op_Estado_Oportunidad IS NULL OR Op_Estado_Oportunidad = '')");
    return QStringLiteral(" AND Op_Estado_Oportunidad = '") + Ado::quoted(leido) + QStringLiteral("'");
}

} // namespace

AccionesSobreOportunidad::AccionesSobreOportunidad(std::shared_ptr<Ado::Connection> conexion, QString operador)
    : m_conexion(std::move(conexion))
    , m_operador(std::move(operador))
{ }

bool AccionesSobreOportunidad::sigueVigente(const QString &folio) const
{
    Publico::TextoSql = QStringLiteral("SELECT Es_Cve_Estado ") + QStringLiteral(" FROM Oportunidad ")
                        + QStringLiteral(" WHERE Op_Folio = '") + Ado::quoted(folio) + QStringLiteral("' AND ")
                        + QStringLiteral("   Es_Cve_Estado <> 'CA'");
    return !m_conexion->Execute(Publico::TextoSql, nullptr, -1).atEnd();
}

AccionesSobreOportunidad::Cancelacion AccionesSobreOportunidad::cancela(const QString &folio) const
{
    Ado::Transaction transaccion(*m_conexion);
    Publico::TextoSql = QStringLiteral("UPDATE Oportunidad SET ") + QStringLiteral("   Oper_Baja = '")
                        + Ado::quoted(m_operador) + QStringLiteral("', ") + QStringLiteral("   Fecha_Baja = '")
                        + Ado::quoted(Publico::Funciones->FormatoFechaBaja(Publico::Funciones->FechaActual()))
                        + QStringLiteral("', ") + QStringLiteral("   Es_Cve_Estado = 'CA' ")
                        + QStringLiteral("WHERE Op_Folio = '") + Ado::quoted(folio) + QStringLiteral("'")
                        + QStringLiteral(" AND Es_Cve_Estado <> 'CA'");
    if (ejecutaTextoSql(*m_conexion) == 0)
        return Cancelacion::YaEstabaCancelada;
    Publico::Funciones->RegistraBitacora(entidad, folio, QStringLiteral("Cancelación"));
    transaccion.commit();
    return Cancelacion::Cancelada;
}

QString AccionesSobreOportunidad::estadoActual(const QString &folio) const
{
    Publico::TextoSql = QStringLiteral("SELECT Op_Estado_Oportunidad FROM Oportunidad WHERE Op_Folio = '")
                        + Ado::quoted(folio) + QStringLiteral("'");
    const Ado::Recordset oportunidad = m_conexion->Execute(Publico::TextoSql, nullptr, -1);
    return oportunidad.atEnd() ? QString()
                               : Runtime::toTextOrEmpty(oportunidad.field(QStringLiteral("Op_Estado_Oportunidad")));
}

bool AccionesSobreOportunidad::cambiaEstado(const QString &folio, const QString &leido, const QString &elegido) const
{
    Publico::TextoSql = QStringLiteral("UPDATE Oportunidad SET ") + QStringLiteral("   Oper_Ult_Modif = '")
                        + Ado::quoted(m_operador) + QStringLiteral("', ") + QStringLiteral("   Fecha_Ult_Modif = '")
                        + Ado::quoted(Publico::Funciones->FormatoFechaModificacion(Publico::Funciones->FechaActual()))
                        + QStringLiteral("', ") + QStringLiteral("   Op_Estado_Oportunidad = '") + Ado::quoted(elegido)
                        + QStringLiteral("' ") + QStringLiteral("WHERE Op_Folio = '") + Ado::quoted(folio)
                        + QStringLiteral("'") + mismoEstado(leido);
    return ejecutaTextoSql(*m_conexion) != 0;
}

QString AccionesSobreOportunidad::transaccionDeGanada()
{
    return Runtime::toText(Publico::Entorno->LeeVariable(QStringLiteral("CRM_TRANSACCION_OPORTUNIDAD_GANADA"), 0,
                                                         QStringLiteral("T"), QString()));
}

bool AccionesSobreOportunidad::cierra(const QString &folio, qint32 resultado, const QString &causa)
{
    return Publico::Procesos->CierraOportunidad(folio, resultado, causa);
}

QString AccionesSobreOportunidad::motivoDelRechazo()
{
    return Publico::Procesos->UltimoError();
}
