// The board's frame below its design width: the view, the count and the search side by side.
#include "acomodo.h"

#include "runtime/error.h"
#include "runtime/twips.h"

#include <QEvent>
#include <QLabel>
#include <QWidget>

#include <algorithm>

SigueElAncho::SigueElAncho(QWidget &observado, std::function<void()> alCambiar)
    : QObject(&observado)
    , m_alCambiar(std::move(alCambiar))
{
    observado.installEventFilter(this);
}

bool SigueElAncho::eventFilter(QObject *observado, QEvent *evento)
{
    if (evento->type() == QEvent::Resize)
        m_alCambiar();
    return QObject::eventFilter(observado, evento);
}

void acomodaBusqueda(const QWidget &forma, QWidget &vista, QLabel &cuenta, QWidget &busqueda, double margen)
{
    using namespace Diseno;
    constexpr double anchoMinimoVista = 1200, anchoMinimoBusqueda = 1500, anchoExtremoBusqueda = 600;
    constexpr double separacion = 120;
    const auto enTwips = [&forma](int pixeles) { return Runtime::pixelsToTwips(pixeles, &forma); };
    const auto aPixeles = [&forma](double twips) {
        if (twips < 0)
            Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
        return Runtime::twipsToPixels(twips, &forma);
    };
    const double derecha = enTwips(forma.width()) - margen;
    const double cuentaAncha = enTwips(cuenta.width());
    const auto faltante = [&](double busca, double cuentaEn) {
        return cuentaEn + cuentaAncha + separacion - (derecha - busca);
    };

    double busca = anchoBusqueda;
    double cuentaEn = izquierdaCuenta;
    double vistaAncha = anchoVista;
    if (const double falta = faltante(busca, cuentaEn); falta > 0)
        busca = std::max(anchoMinimoBusqueda, busca - falta);
    if (const double falta = faltante(busca, cuentaEn); falta > 0)
        cuentaEn = std::max(izquierdaVista + vistaAncha + separacion, cuentaEn - falta);
    if (const double falta = faltante(busca, cuentaEn); falta > 0) {
        vistaAncha = std::max(anchoMinimoVista, vistaAncha - falta);
        cuentaEn = izquierdaVista + vistaAncha + separacion;
    }
    if (const double falta = faltante(busca, cuentaEn); falta > 0)
        busca = std::max(anchoExtremoBusqueda, busca - falta);
    vista.resize(aPixeles(vistaAncha), vista.height());
    cuenta.move(aPixeles(cuentaEn), cuenta.y());
    busqueda.setGeometry(aPixeles(derecha - busca), busqueda.y(), aPixeles(busca), busqueda.height());
}
