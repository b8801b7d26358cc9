#include "servicios/entornosql.h"

#include "servicios/cajamensaje.h"

#include "ado/session.h"
#include "ado/sqltext.h"
#include "runtime/conversions.h"

#include <QLocale>

namespace Servicios {
namespace {

// A stored number comes back as a number; anything the conversions would not read as a
// decimal number (hexadecimal, words) comes back as stored, for the caller's conversion.
QVariant comoNumero(const QString &guardado)
{
    const QString texto = guardado.trimmed();
    if (!Runtime::textIsNumeric(texto))
        return guardado;
    bool entero = false;
    const qlonglong valorEntero = QLocale::c().toLongLong(texto, &entero);
    if (entero)
        return valorEntero;
    bool decimal = false;
    const double valorDecimal = QLocale::c().toDouble(texto, &decimal);
    return decimal ? QVariant(valorDecimal) : QVariant(guardado);
}

} // namespace

std::shared_ptr<Ado::Connection> EntornoSql::Conexion()
{
    return Ado::Session::connection();
}

QString EntornoSql::Operador()
{
    return operadorDeSesion();
}

QVariant EntornoSql::LeeVariable(const QString &nombre, qint32 /*reservado*/, const QString &tipo,
                                 const QVariant &predeterminado)
{
    const Ado::Recordset variable = Conexion()->Execute(
        QStringLiteral("SELECT Va_Valor FROM Variable WHERE Va_Nombre = ?"), Ado::texts({nombre}));
    if (variable.atEnd())
        return predeterminado;
    const QString guardado = Runtime::toTextOrEmpty(variable.field(0));
    if (guardado.isEmpty())
        return predeterminado;
    if (tipo.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0)
        return comoNumero(guardado);
    return guardado;
}

bool EntornoSql::OpcionRestringida(const QString &modulo, const QString &opcion, const QString & /*leyenda*/)
{
    const Ado::Recordset restriccion = Conexion()->Execute(
        QStringLiteral(
            "SELECT 1 FROM Opcion_Restringida WHERE Or_Cve_Operador = ? AND Or_Modulo = ? AND Or_Opcion = ?"),
        Ado::texts({Operador(), modulo, opcion}));
    return !restriccion.atEnd();
}

qint32 EntornoSql::Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario,
                           const QString &modulo, const QString &idError)
{
    return muestraMensaje(DatosMensaje{texto, estilo, titulo, propietario, modulo, idError});
}

} // namespace Servicios
