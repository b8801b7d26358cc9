#pragma once

#include <QObject>

#include <functional>

class QLabel;
class QWidget;

// Where the view, the count and the search stand in the board's frame at its design width, in
// twips: the design places them there and the narrower frame moves them from there.
namespace Diseno {
constexpr int izquierdaVista = 4860;
constexpr int anchoVista = 3135;
constexpr int izquierdaCuenta = 8400;
constexpr int izquierdaBusqueda = 9060;
constexpr int anchoBusqueda = 2895;
} // namespace Diseno

// Runs `alCambiar` each time the observed widget changes its size; owned by that widget.
class SigueElAncho final : public QObject
{
public:
    SigueElAncho(QWidget &observado, std::function<void()> alCambiar);

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override;

private:
    std::function<void()> m_alCambiar;
};

// The view, the count and the search of the board's frame, in twips of the design. From the
// design width up the search box keeps its width at the right margin and the others their
// places. Narrower, so the three never cover one another: first the search box shrinks to
// its least width, starting after the count; then the count moves next to the view; then
// the view shrinks to its least width; last, for a count of many digits, the search box
// gives up more of its width, since text scrolls in it while a cut count says nothing.
void acomodaBusqueda(const QWidget &forma, QWidget &vista, QLabel &cuenta, QWidget &busqueda, double margen);
