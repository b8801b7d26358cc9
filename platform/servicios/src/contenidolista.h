#pragma once

#include "controles/listview.h"

#include <QStringList>

#include <vector>

namespace Ado {
class Recordset;
}

namespace Servicios {

// A result turned into list rows: one header per result column, one row per record.
struct ContenidoLista
{
    QStringList encabezados;
    std::vector<Controles::ListRow> filas;
};

ContenidoLista leeContenido(Ado::Recordset &datos);

// How a database value reads in a list: Null as nothing, fractional numbers with two
// decimals, dates in the suite's text form.
QString textoDeCelda(const QVariant &valor);

} // namespace Servicios
