#include "respuestas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace Pruebas {
namespace {

QWidget *abierto(const QString &nombre)
{
    for (QWidget *candidato : {QApplication::activePopupWidget(), QApplication::activeModalWidget()}) {
        if (candidato && candidato->objectName() == nombre && candidato->isVisible())
            return candidato;
    }
    return nullptr;
}

} // namespace

void alAparecer(const QString &nombre, std::function<void(QWidget &)> respuesta)
{
    // Enough turns of the event loop for any dialog to show; a dialog that never comes
    // fails the test instead of hanging it.
    constexpr int VueltasMaximas = 200000;
    auto *sondeo = new QTimer(qApp);
    sondeo->setInterval(0);
    auto vueltas = std::make_shared<int>(0);
    QObject::connect(sondeo, &QTimer::timeout, sondeo, [sondeo, nombre, respuesta, vueltas] {
        if (QWidget *ventana = abierto(nombre)) {
            sondeo->stop();
            sondeo->deleteLater();
            respuesta(*ventana);
        } else if (++*vueltas > VueltasMaximas) {
            sondeo->stop();
            sondeo->deleteLater();
            ADD_FAILURE() << "No apareció " << nombre.toStdString();
        }
    });
    sondeo->start();
}

void pulsa(QWidget &ventana, const QString &boton)
{
    auto *encontrado = ventana.findChild<QAbstractButton *>(boton);
    ASSERT_NE(encontrado, nullptr) << "no hay botón " << boton.toStdString();
    encontrado->click();
}

} // namespace Pruebas
