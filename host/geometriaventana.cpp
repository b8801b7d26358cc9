#include "geometriaventana.h"

#include "runtime/settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace GeometriaVentana {
namespace {

const QString aplicacion = QStringLiteral("teqvaro");
const QString seccion = QStringLiteral("VentanaPrincipal");
const QString clave = QStringLiteral("Geometria");

QRect areaDisponible(const QRect &donde)
{
    const QScreen *pantalla = QGuiApplication::screenAt(donde.center());
    if (!pantalla)
        pantalla = QGuiApplication::primaryScreen();
    return pantalla->availableGeometry();
}

// A window not shown yet has no frame to measure: the window manager's title bar and
// borders are estimated, so the whole window fits.
QMargins marcoEstimado(const QWidget &ventana)
{
    constexpr int borde = 4;
    const int titulo = ventana.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &ventana);
    return {borde, titulo + borde, borde, borde};
}

// The window's inside, placed so that its frame lies within `disponible`.
QRect colocada(const QRect &interior, const QMargins &marco, const QRect &disponible)
{
    return dentroDe(interior.marginsAdded(marco), disponible).marginsRemoved(marco);
}

void limitaElMinimo(QWidget &ventana, const QMargins &marco, const QRect &disponible)
{
    ventana.setMinimumSize(TamanoMinimo.boundedTo(disponible.marginsRemoved(marco).size()));
}

} // namespace

QRect dentroDe(const QRect &deseado, const QRect &disponible)
{
    QRect ajustado(deseado.topLeft(), deseado.size().boundedTo(disponible.size()));
    ajustado.moveLeft(std::clamp(ajustado.left(), disponible.left(), disponible.right() - ajustado.width() + 1));
    ajustado.moveTop(std::clamp(ajustado.top(), disponible.top(), disponible.bottom() - ajustado.height() + 1));
    return ajustado;
}

void restaura(QWidget &ventana)
{
    const QMargins marco = marcoEstimado(ventana);
    const QByteArray guardada = QByteArray::fromBase64(Runtime::getSetting(aplicacion, seccion, clave).toLatin1());
    if (!guardada.isEmpty() && ventana.restoreGeometry(guardada)) {
        // Maximised, the window fills its screen by itself; its normal geometry is the one
        // to bring inside, for the day the user restores it.
        const bool maximizada = ventana.isMaximized();
        const QRect normal = ventana.normalGeometry();
        const QRect disponible = areaDisponible(normal);
        limitaElMinimo(ventana, marco, disponible);
        ventana.setWindowState(ventana.windowState() & ~Qt::WindowMaximized);
        ventana.setGeometry(colocada(normal, marco, disponible));
        if (maximizada)
            ventana.setWindowState(ventana.windowState() | Qt::WindowMaximized);
        return;
    }
    const QRect disponible = areaDisponible(ventana.geometry());
    limitaElMinimo(ventana, marco, disponible);
    QRect inicial(QPoint(), (TamanoInicial.grownBy(marco)).boundedTo(disponible.size()));
    inicial.moveCenter(disponible.center());
    ventana.setGeometry(inicial.marginsRemoved(marco));
}

void guarda(const QWidget &ventana)
{
    Runtime::saveSetting(aplicacion, seccion, clave, QString::fromLatin1(ventana.saveGeometry().toBase64()));
}

} // namespace GeometriaVentana
