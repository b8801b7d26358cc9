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
    bool igualAlAnterior = false; // the same columns and rows, in the same order: no rows kept
};

// Reads the result, comparing it on the way with the rows the list already shows, in the
// order they came: while they agree nothing is kept, so a refresh that finds nothing new
// costs little more than reading the result.
ContenidoLista leeContenido(Ado::Recordset &datos, const Controles::ListModel &anterior);

// How a database value reads in a list: Null as nothing, fractional numbers with two
// decimals, dates in the suite's text form.
QString textoDeCelda(const QVariant &valor);

} // namespace Servicios
