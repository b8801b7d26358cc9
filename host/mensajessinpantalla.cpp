#include "mensajessinpantalla.h"

#include "anfitrion.h"
#include "captura.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

constexpr int salidaConError = 1;

QString textoPlano(const QString &texto)
{
    return Qt::mightBeRichText(texto) ? QTextDocumentFragment::fromHtml(texto).toPlainText() : texto;
}

} // namespace

MensajesSinPantalla::MensajesSinPantalla(VentanaPrincipal &ventana, QString captura)
    : m_ventana(ventana)
    , m_captura(std::move(captura))
{
    qApp->installEventFilter(this);
}

MensajesSinPantalla::~MensajesSinPantalla()
{
    qApp->removeEventFilter(this);
}

bool MensajesSinPantalla::eventFilter(QObject *observado, QEvent *evento)
{
    if (evento->type() == QEvent::Show) {
        auto *dialogo = qobject_cast<QDialog *>(observado);
        if (dialogo && (dialogo->isModal() || qobject_cast<QMessageBox *>(dialogo))) {
            // Once the dialog is laid out and placed, inside its own event loop.
            QTimer::singleShot(0, dialogo, [this, dialogo] { termina(*dialogo); });
        }
    }
    return QObject::eventFilter(observado, evento);
}

// QApplication::exit ends every event loop running now and every one started after it, so
// the box and any that follow return at once, whether or not the main loop has begun.
void MensajesSinPantalla::termina(QDialog &dialogo)
{
    if (m_huboMensaje)
        return;
    m_huboMensaje = true;
    if (auto *caja = qobject_cast<QMessageBox *>(&dialogo)) {
        const QString detalle = textoPlano(caja->informativeText());
        qCCritical(logAnfitrion).noquote() << QStringLiteral("Mensaje en una ejecución sin pantalla («%1»): %2%3")
                                                  .arg(caja->windowTitle(), caja->text(),
                                                       detalle.isEmpty() ? QString() : QStringLiteral(" — ") + detalle);
    } else {
        qCCritical(logAnfitrion).noquote()
            << QStringLiteral("La pantalla pidió datos en una ejecución sin pantalla («%1»), y nadie puede darlos")
                   .arg(dialogo.windowTitle());
    }
    if (!m_captura.isEmpty())
        Captura::guarda(m_ventana, m_captura);
    dialogo.reject();
    QApplication::exit(salidaConError);
}
