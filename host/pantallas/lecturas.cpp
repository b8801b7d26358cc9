#include "lecturas.h"

#include "ado/session.h"
#include "ado/sqltext.h"
#include "runtime/conversions.h"

namespace Pantallas {

std::optional<QStringList> primerRenglon(const QString &sql, const QStringList &campos)
{
    const std::optional<QVariantList> tal = primerRenglonTal(sql, campos);
    if (!tal)
        return std::nullopt;
    QStringList valores;
    for (const QVariant &valor : *tal)
        valores << Runtime::toTextOrEmpty(valor);
    return valores;
}

std::optional<QVariantList> primerRenglonTal(const QString &sql, const QStringList &campos)
{
    const Ado::Recordset renglon = Ado::Session::connection()->Execute(sql);
    if (renglon.atEnd())
        return std::nullopt;
    QVariantList valores;
    for (const QString &campo : campos)
        valores << renglon.field(campo);
    return valores;
}

QList<Opcion> opciones(const QString &sql, const QVariantList &valores)
{
    const std::shared_ptr<Ado::Connection> conexion = Ado::Session::connection();
    QList<Opcion> leidas;
    for (Ado::Recordset renglon = valores.isEmpty() ? conexion->Execute(sql) : conexion->Execute(sql, valores);
         !renglon.atEnd(); renglon.moveNext())
        leidas.append({Runtime::toTextOrEmpty(renglon.field(0)), Runtime::toTextOrEmpty(renglon.field(1))});
    return leidas;
}

} // namespace Pantallas
