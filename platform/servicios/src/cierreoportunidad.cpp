#include "servicios/cierreoportunidad.h"

#include "servicios/servicios.h"

#include "ado/connection.h"
#include "ado/sqltext.h"

#include <algorithm>

namespace Servicios {
namespace {

constexpr qint32 Ganada = 1;
constexpr qint32 Perdida = 2;

// A cause is an integer key; anything else could not name one, and on PostgreSQL would
// abort the transaction if it reached the comparison.
bool esClaveDeCausa(const QString &causa)
{
    bool numero = false;
    causa.toLongLong(&numero);
    return numero && !causa.isEmpty() && std::all_of(causa.cbegin(), causa.cend(), [](QChar c) { return c.isDigit(); });
}

} // namespace

CierreOportunidad::CierreOportunidad(Ado::Connection &conexion, Funciones &funciones, QString operador)
    : m_conexion(conexion)
    , m_funciones(funciones)
    , m_operador(std::move(operador))
    , m_fecha(funciones.FormatoFechaModificacion(funciones.FechaActual()))
{ }

QString CierreOportunidad::cierra(const QString &folio, qint32 resultado, const QString &causa)
{
    if (QString motivo = marcaModificada(folio); !motivo.isEmpty())
        return motivo;
    if (yaCerrada(folio))
        return QStringLiteral("La oportunidad %1 ya fue cerrada").arg(folio);
    if (QString motivo = revisaResultado(folio, resultado, causa); !motivo.isEmpty())
        return motivo;
    insertaCierre(folio, resultado, causa);
    m_funciones.RegistraBitacora(QStringLiteral("OPORTUNIDAD"), folio,
                                 resultado == Ganada ? QStringLiteral("Ganada") : QStringLiteral("Perdida"));
    return {};
}

// Touching the row first takes its lock: a second closer of the same opportunity waits
// here until this transaction ends, and then sees its closing.
QString CierreOportunidad::marcaModificada(const QString &folio)
{
    qint64 filas = 0;
    m_conexion.Execute(QStringLiteral("UPDATE Oportunidad SET Oper_Ult_Modif = ?, Fecha_Ult_Modif = ?"
                                      " WHERE Op_Folio = ? AND Es_Cve_Estado <> 'CA'"),
                       Ado::texts({m_operador, m_fecha, folio}), &filas);
    return filas > 0 ? QString() : motivoSinFila(folio);
}

QString CierreOportunidad::motivoSinFila(const QString &folio)
{
    const Ado::Recordset oportunidad = m_conexion.Execute(
        QStringLiteral("SELECT Es_Cve_Estado FROM Oportunidad WHERE Op_Folio = ?"), Ado::texts({folio}));
    if (oportunidad.atEnd())
        return QStringLiteral("No existe la oportunidad %1").arg(folio);
    return QStringLiteral("La oportunidad %1 está cancelada").arg(folio);
}

bool CierreOportunidad::yaCerrada(const QString &folio)
{
    const Ado::Recordset cierre = m_conexion.Execute(
        QStringLiteral("SELECT Ci_Folio FROM Cierre_Oportunidad WHERE Ci_Folio = ?"), Ado::texts({folio}));
    return !cierre.atEnd();
}

QString CierreOportunidad::revisaResultado(const QString &folio, qint32 resultado, const QString &causa)
{
    if (resultado == Ganada)
        return causa.isEmpty()
                   ? QString()
                   : QStringLiteral("La oportunidad %1 no puede cerrarse como ganada con una causa de pérdida")
                         .arg(folio);
    if (resultado != Perdida)
        return QStringLiteral("El resultado %1 no es válido para cerrar la oportunidad %2 (1 ganada, 2 perdida)")
            .arg(resultado)
            .arg(folio);
    if (causa.isEmpty())
        return QStringLiteral("Falta la causa de la pérdida de la oportunidad %1").arg(folio);
    if (!causaVigente(causa))
        return QStringLiteral("La causa %1 no existe o está dada de baja").arg(causa);
    return {};
}

bool CierreOportunidad::causaVigente(const QString &causa)
{
    if (!esClaveDeCausa(causa))
        return false;
    const Ado::Recordset vigente = m_conexion.Execute(
        QStringLiteral("SELECT Cop_Cve_Causa_Oportunidad_Perdida FROM Causa_Oportunidad_Perdida"
                       " WHERE Cop_Cve_Causa_Oportunidad_Perdida = ? AND Es_Cve_Estado <> 'BA'"),
        {causa.toLongLong()});
    return !vigente.atEnd();
}

void CierreOportunidad::insertaCierre(const QString &folio, qint32 resultado, const QString &causa)
{
    const QVariant valorCausa = resultado == Perdida ? QVariant(causa.toLongLong())
                                                     : QVariant(QMetaType::fromType<qlonglong>());
    m_conexion.Execute(QStringLiteral("INSERT INTO Cierre_Oportunidad (Ci_Folio, Ci_Operador, Ci_Fecha, Ci_Resultado,"
                                      " Ci_Cve_Causa) VALUES (?, ?, ?, ?, ?)"),
                       Ado::texts({folio, m_operador, m_fecha}) + QVariantList{resultado, valorCausa});
}

} // namespace Servicios
