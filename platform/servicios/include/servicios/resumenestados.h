#pragma once

#include "servicios/servicios_export.h"

#include <QColor>
#include <QStringList>

#include <optional>
#include <vector>

namespace Ado {
class Connection;
}

namespace Servicios {

// One row of a list as the summary reads it: its cells as the list shows them and the colour
// of its look, if it has one.
struct FilaParaResumen
{
    QStringList textos;
    std::optional<QColor> color;
};

struct EstadoResumido
{
    QString estado;
    int cantidad = 0;
    double monto = 0;
    QColor color; // the colour most of its rows are shown in
};

// The opportunities of a list grouped by state, the states in the order an opportunity goes
// through them.
struct SERVICIOS_EXPORT ResumenEstados
{
    std::vector<EstadoResumido> estados;
    bool conMontos = false; // the list has an amount column that holds numbers
    int montosSinSumar = 0; // rows counted whose amount is empty or not a number

    int cantidadTotal() const;
    double montoTotal() const;
};

// The column headed `titulo`, letter case and accents aside ("ESTADO", "Estádo"); -1 when
// there is none.
SERVICIOS_EXPORT int columnaTitulada(const QStringList &encabezados, const QString &titulo);

SERVICIOS_EXPORT bool tieneColumnaEstado(const QStringList &encabezados);

// An amount as a list may show it: thousands separators, a currency sign or code
// ("$1,234.50", "1 234,50 €", "MXN 980", "(1,200.00)" or "-1,200.00" for a negative one).
// Nothing when the text is not an amount.
SERVICIOS_EXPORT std::optional<double> leeMonto(const QString &texto);

// The states' descriptions in the order an opportunity goes through them: the order the
// state table keeps its rows in (the one the state picker shows them in), or by key when
// every key is a whole number. Raises when the table cannot be read.
SERVICIOS_EXPORT QStringList ordenDeEstados(Ado::Connection &conexion);

// Groups the rows by their "Estado" cell (blank ones under "(Sin estado)") and, when there is
// a "Monto" column and most of its filled cells are amounts, adds up each state's amounts.
// Each state takes the colour that most of its rows have (the first one met on a tie); a row
// without a colour of its own counts as `colorDeTexto`. A list without an "Estado" column
// gives no states. The states come in `orden` (descriptions, see ordenDeEstados); those it
// does not name follow in Spanish alphabetical order, and "(Sin estado)" last. Without an
// order, most opportunities first, states with as many alphabetically.
SERVICIOS_EXPORT ResumenEstados resumePorEstado(const QStringList &encabezados,
                                                const std::vector<FilaParaResumen> &filas, const QColor &colorDeTexto,
                                                const std::optional<QStringList> &orden);
// The same, in the order of the states of the session's database; by number of
// opportunities when they cannot be read (which is logged).
SERVICIOS_EXPORT ResumenEstados resumePorEstado(const QStringList &encabezados,
                                                const std::vector<FilaParaResumen> &filas, const QColor &colorDeTexto);

} // namespace Servicios
