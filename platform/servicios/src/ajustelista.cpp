#include "servicios/ajustelista.h"

#include "controles/listmodel.h"
#include "controles/listview.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <algorithm>

namespace Servicios {
namespace {

// Room for the cell margins, and in the header also for the sort indicator.
constexpr int MargenCelda = 16;
constexpr int MargenEncabezado = 28;
// No column gets wider than this many average characters, so one long note does not push
// the others out of sight.
constexpr int AnchoMaximoEnCaracteres = 60;

int anchoDeColumna(const Controles::ListView &lista, int columna, int filas)
{
    // Rows are measured in bold: a row coloured after the fitting may turn bold.
    QFont negrita = lista.font();
    negrita.setBold(true);
    const QFontMetrics normal(lista.font());
    const QFontMetrics medida(negrita);
    const Controles::ListModel &modelo = lista.listModel();
    int ancho = QFontMetrics(lista.header()->font()).horizontalAdvance(modelo.headers().at(columna))
                + MargenEncabezado;
    for (int fila = 0; fila < filas; ++fila) {
        if (columna >= modelo.textCount(fila))
            continue;
        ancho = std::max(ancho, medida.horizontalAdvance(modelo.shownText(fila, columna)) + MargenCelda);
    }
    return std::min(ancho, normal.averageCharWidth() * AnchoMaximoEnCaracteres);
}

} // namespace

void AjusteLista::Ajusta(Controles::ListView &lista)
{
    QHeaderView &encabezado = *lista.header();
    const int filas = std::min(lista.itemCount(), FilasMedidas);
    encabezado.setStretchLastSection(true);
    for (int columna = 0; columna < lista.columnCount(); ++columna) {
        encabezado.setSectionResizeMode(columna, QHeaderView::Interactive);
        encabezado.resizeSection(columna, anchoDeColumna(lista, columna, filas));
    }
}

} // namespace Servicios
