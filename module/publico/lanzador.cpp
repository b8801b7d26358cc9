#include "lanzador.h"

#include "runtime/latebinding.h"

namespace Lanzador {

QString Parametros(const QString &accion)
{
    return QStringLiteral("ACCION=") + accion;
}

QString Parametros(const QString &accion, const QString &dato)
{
    return Parametros(accion) + QStringLiteral("|DATO=") + dato;
}

QString ParametrosGanada(const QString &folio)
{
    return QStringLiteral("NUEVO=") + folio;
}

void Lanza(QObject *padre, const QString &modulo, const QString &parametros)
{
    Runtime::callMember(padre, "transacciones", {modulo, parametros});
}

} // namespace Lanzador
