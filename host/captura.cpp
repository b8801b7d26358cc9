#include "captura.h"

#include "anfitrion.h"
#include "ventanaprincipal.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace Captura {
namespace {

// A window as a desktop shows it: the offscreen platform draws no frames, so the picture
// gets a plain border and a title bar with the window's title.
QImage conMarco(QWidget &ventana)
{
    constexpr int borde = 1;
    constexpr int altoDelTitulo = 26;
    const QImage contenido = ventana.grab().toImage();
    QImage marco(contenido.width() + 2 * borde, contenido.height() + altoDelTitulo + borde, QImage::Format_ARGB32);
    marco.fill(QColor(0x2A, 0x34, 0x40));
    QPainter pintor(&marco);
    pintor.fillRect(QRect(borde, borde, contenido.width(), altoDelTitulo - borde), QColor(0x3C, 0x4A, 0x5C));
    QFont letra = ventana.font();
    letra.setBold(true);
    pintor.setFont(letra);
    pintor.setPen(Qt::white);
    pintor.drawText(QRect(borde + 8, borde, contenido.width() - 16, altoDelTitulo - borde),
                    Qt::AlignVCenter | Qt::AlignLeft, ventana.windowTitle());
    pintor.drawImage(borde, altoDelTitulo, contenido);
    return marco;
}

// Where a window's picture stands over the main window's: where the window is, its title
// bar above it, kept inside the picture.
QPoint posicionSobre(const QWidget &ventana, const QWidget &encima, const QSize &tamano, const QImage &imagen)
{
    const QPoint relativa = encima.geometry().topLeft() - ventana.geometry().topLeft()
                            - QPoint(0, tamano.height() - encima.height());
    return QPoint(std::clamp(relativa.x(), 0, std::max(0, imagen.width() - tamano.width())),
                  std::clamp(relativa.y(), 0, std::max(0, imagen.height() - tamano.height())));
}

QImage vistaDeVentana(VentanaPrincipal &ventana)
{
    QImage imagen = ventana.grab().toImage();
    QPainter pintor(&imagen);
    QWidgetList encima;
    for (QWidget *propia : ventana.ventanas()) {
        if (propia != &ventana)
            encima << propia;
    }
    QWidget *dialogo = QApplication::activeModalWidget();
    if (dialogo && dialogo != &ventana && !encima.contains(dialogo))
        encima << dialogo;
    for (QWidget *otra : std::as_const(encima)) {
        const QImage enMarco = conMarco(*otra);
        pintor.drawImage(posicionSobre(ventana, *otra, enMarco.size(), imagen), enMarco);
    }
    return imagen;
}

} // namespace

bool guarda(VentanaPrincipal &ventana, const QString &archivo)
{
    if (vistaDeVentana(ventana).save(archivo, "PNG"))
        return true;
    qCCritical(logAnfitrion).noquote() << "No se pudo guardar la captura en" << archivo;
    return false;
}

} // namespace Captura
