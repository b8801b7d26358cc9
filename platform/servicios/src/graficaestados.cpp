#include "graficaestados.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace Servicios {
namespace {

constexpr int Margen = 8;
constexpr int MargenLateral = 4; // so names and figures line up with the table's cells below
constexpr int Separacion = 8;
constexpr int RellenoDeBarra = 4; // above and below each bar, so neighbouring bars stay apart
constexpr int LargoPreferido = 260;
constexpr int NombreMasLargo = 30; // characters shown in full before the name is cut

} // namespace

GraficaEstados::GraficaEstados(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GraficaEstados::muestra(std::vector<Barra> barras)
{
    m_barras = std::move(barras);
    QStringList lineas;
    for (const Barra &barra : m_barras)
        lineas << QStringLiteral("%1: %2").arg(barra.nombre, barra.cifra);
    setAccessibleDescription(lineas.isEmpty() ? QStringLiteral("Sin oportunidades.")
                                              : lineas.join(QStringLiteral("; ")));
    updateGeometry();
    update();
}

int GraficaEstados::altoDeLinea() const
{
    return fontMetrics().height() + 2 * RellenoDeBarra + 2;
}

// Widths are rounded up: text measured to the pixel would otherwise be cut by rounding.
int GraficaEstados::anchoDeNombres() const
{
    qreal ancho = 0;
    for (const Barra &barra : m_barras)
        ancho = std::max(ancho, QFontMetricsF(font()).horizontalAdvance(barra.nombre));
    return int(std::ceil(ancho)) + 1;
}

int GraficaEstados::anchoDeCifras() const
{
    qreal ancho = 0;
    for (const Barra &barra : m_barras)
        ancho = std::max(ancho, QFontMetricsF(font()).horizontalAdvance(barra.cifra));
    return int(std::ceil(ancho)) + 1;
}

QSize GraficaEstados::sizeHint() const
{
    const int lineas = std::max<int>(1, int(m_barras.size()));
    return {2 * MargenLateral + anchoDeNombres() + 2 * Separacion + LargoPreferido + anchoDeCifras(),
            2 * Margen + lineas * altoDeLinea()};
}

// Room for the names in full, unless one is very long, and for half the preferred bars.
QSize GraficaEstados::minimumSizeHint() const
{
    const int nombres = std::min(anchoDeNombres(), fontMetrics().averageCharWidth() * NombreMasLargo);
    return {2 * MargenLateral + nombres + 2 * Separacion + LargoPreferido / 2 + anchoDeCifras(), sizeHint().height()};
}

void GraficaEstados::paintEvent(QPaintEvent * /*event*/)
{
    QPainter pintor(this);
    const QRect area = rect().adjusted(MargenLateral, Margen, -MargenLateral, -Margen);
    if (m_barras.empty()) {
        pintor.setPen(palette().color(QPalette::PlaceholderText));
        pintor.drawText(area, Qt::AlignCenter, QStringLiteral("No hay oportunidades en la lista."));
        return;
    }
    // Names take at most two fifths of the width; a longer one is cut with an ellipsis. The
    // figures stand in a column of their own at the right, aligned there so their digits line up.
    const int anchoNombres = std::min(anchoDeNombres(), area.width() * 2 / 5);
    const int anchoCifras = anchoDeCifras();
    const int inicio = area.left() + anchoNombres + Separacion;
    const int largoMaximo = std::max(0, area.right() + 1 - anchoCifras - Separacion - inicio);
    const auto mayor = std::max_element(m_barras.cbegin(), m_barras.cend(),
                                        [](const Barra &una, const Barra &otra) { return una.valor < otra.valor; });
    const double tope = mayor->valor;
    const int alto = altoDeLinea();
    const QColor texto = palette().color(QPalette::WindowText);

    pintor.setPen(palette().color(QPalette::Mid));
    pintor.drawLine(inicio - 1, area.top(), inicio - 1, area.top() + int(m_barras.size()) * alto - 1);
    for (size_t posicion = 0; posicion < m_barras.size(); ++posicion) {
        const Barra &barra = m_barras[posicion];
        const int arriba = area.top() + int(posicion) * alto;
        pintor.setPen(texto);
        pintor.drawText(QRect(area.left(), arriba, anchoNombres, alto), Qt::AlignLeft | Qt::AlignVCenter,
                        fontMetrics().elidedText(barra.nombre, Qt::ElideRight, anchoNombres));
        int largo = tope > 0 && barra.valor > 0 ? int(barra.valor / tope * largoMaximo + 0.5) : 0;
        if (barra.valor > 0)
            largo = std::max(largo, 2); // a small figure still shows a sliver
        if (largo > 0) {
            const QRect rectangulo(inicio, arriba + RellenoDeBarra, largo, alto - 2 * RellenoDeBarra);
            pintor.fillRect(rectangulo, barra.color);
            // A darker edge keeps a pale colour visible against the background.
            pintor.setPen(barra.color.darker(160));
            pintor.drawRect(rectangulo.adjusted(0, 0, -1, -1));
        }
        pintor.setPen(texto);
        pintor.drawText(QRect(area.right() + 1 - anchoCifras, arriba, anchoCifras, alto),
                        Qt::AlignRight | Qt::AlignVCenter, barra.cifra);
    }
}

} // namespace Servicios
