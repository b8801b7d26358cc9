#include "servicios/ajustelista.h"

#include "controles/listmodel.h"
#include "controles/listview.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace Servicios {
namespace {

// Room for the cell margins, and in the header also for the sort indicator.
constexpr int MargenCelda = 16;
constexpr int MargenEncabezado = 28;
// No column gets wider than this many average characters, so one long note does not push
// the others out of sight.
constexpr int AnchoMaximoEnCaracteres = 60;
// A text column squeezed to fit keeps room for this many average characters: enough to
// tell its rows apart.
constexpr int AnchoMinimoEnCaracteres = 10;

// Rows are measured in bold: a row coloured after the fitting may turn bold, and a bold row
// needs more room than the same text in a regular one.
QFontMetrics medidaDeFilas(const Kit::ListView &lista)
{
    QFont negrita = lista.font();
    negrita.setBold(true);
    return QFontMetrics(negrita);
}

int anchoDeColumna(const Kit::ListView &lista, int columna, int filas)
{
    const QFontMetrics normal(lista.font());
    const QFontMetrics medida = medidaDeFilas(lista);
    const Kit::ListModel &modelo = lista.listModel();
    int ancho = QFontMetrics(lista.header()->font()).horizontalAdvance(modelo.headers().at(columna)) + MargenEncabezado;
    for (int fila = 0; fila < filas; ++fila) {
        if (columna >= modelo.textCount(fila))
            continue;
        ancho = std::max(ancho, medida.horizontalAdvance(modelo.shownText(fila, columna)) + MargenCelda);
    }
    return std::min(ancho, normal.averageCharWidth() * AnchoMaximoEnCaracteres);
}

// What a column may be squeezed to: a text column down to a few characters, the first
// column (the row's key), figures and dates not at all.
int anchoMinimo(const Kit::ListView &lista, int columna, int ancho)
{
    if (columna == 0 || lista.listModel().columnKind(columna) != Kit::TextTable::ColumnKind::Text)
        return ancho;
    return std::min(ancho, medidaDeFilas(lista).averageCharWidth() * AnchoMinimoEnCaracteres + MargenCelda);
}

// The width the columns may take: the list's own, less a vertical scroll bar it may be about
// to show; no limit while the list is not on screen.
int anchoDisponible(const Kit::ListView &lista)
{
    if (!lista.isVisible())
        return std::numeric_limits<int>::max();
    const int barra = lista.verticalScrollBar()->isVisible()
                          ? 0
                          : lista.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &lista);
    return lista.viewport()->width() - barra;
}

// Takes the width that does not fit from the columns that can give some, each in proportion
// to what it has beyond its minimum.
void reparte(std::vector<int> &anchos, const std::vector<int> &minimos, int disponible)
{
    const long total = std::accumulate(anchos.cbegin(), anchos.cend(), 0L);
    long holgura = 0;
    for (size_t columna = 0; columna < anchos.size(); ++columna)
        holgura += anchos[columna] - minimos[columna];
    if (total <= disponible || holgura <= 0)
        return;
    const double parte = std::min(1.0, double(total - disponible) / double(holgura));
    for (size_t columna = 0; columna < anchos.size(); ++columna)
        anchos[columna] -= int(std::ceil((anchos[columna] - minimos[columna]) * parte));
}

} // namespace

void AjusteLista::Ajusta(Kit::ListView &lista)
{
    AjustaAlAncho(lista);
}

void AjusteLista::AjustaYGuarda(Kit::ListView &lista)
{
    AjustaAlAncho(lista);
    lista.saveLayout();
}

void AjusteLista::AjustaAlAncho(Kit::ListView &lista)
{
    QHeaderView &encabezado = *lista.header();
    const int filas = std::min(lista.itemCount(), FilasMedidas);
    encabezado.setStretchLastSection(true);
    std::vector<int> anchos(size_t(lista.columnCount()), 0);
    std::vector<int> minimos(anchos.size(), 0);
    for (int columna = 0; columna < lista.columnCount(); ++columna) {
        encabezado.setSectionResizeMode(columna, QHeaderView::Interactive);
        if (encabezado.isSectionHidden(columna))
            continue;
        anchos[size_t(columna)] = anchoDeColumna(lista, columna, filas);
        minimos[size_t(columna)] = anchoMinimo(lista, columna, anchos[size_t(columna)]);
    }
    reparte(anchos, minimos, anchoDisponible(lista));
    for (int columna = 0; columna < lista.columnCount(); ++columna) {
        if (!encabezado.isSectionHidden(columna))
            encabezado.resizeSection(columna, anchos[size_t(columna)]);
    }
}

} // namespace Servicios
