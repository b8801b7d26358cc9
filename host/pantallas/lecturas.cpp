#include "lecturas.h"

#include "ado/session.h"
#include "runtime/conversions.h"

namespace Pantallas {

std::optional<QStringList> primerRenglon(const QString &sql, const QStringList &campos, const QVariantList &valores)
{
    const std::optional<QVariantList> tal = primerRenglonTal(sql, campos, valores);
    if (!tal)
        return std::nullopt;
    QStringList textos;
    for (const QVariant &valor : *tal)
        textos << Runtime::toTextOrEmpty(valor);
    return textos;
}

std::optional<QVariantList> primerRenglonTal(const QString &sql, const QStringList &campos, const QVariantList &valores)
{
    const Ado::Recordset renglon = Ado::Session::connection()->Execute(sql, valores);
    if (renglon.atEnd())
        return std::nullopt;
    QVariantList leidos;
    for (const QString &campo : campos)
        leidos << renglon.field(campo);
    return leidos;
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
