#include "ayudas.h"

#include "respuestas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

namespace Pruebas {
namespace {

QStringList lineasGrabadas;
const char *categoriaGrabada = nullptr;

QWidgetList abiertas(const QString &nombre)
{
    QWidgetList ventanas;
    for (QWidget *ventana : QApplication::topLevelWidgets()) {
        if (ventana->objectName() == nombre && ventana->isVisible())
            ventanas << ventana;
    }
    return ventanas;
}

} // namespace

BitacoraGrabada::BitacoraGrabada(const char *categoria)
    : m_anterior(qInstallMessageHandler([](QtMsgType, const QMessageLogContext &contexto, const QString &mensaje) {
        if (contexto.category && qstrcmp(contexto.category, categoriaGrabada) == 0)
            lineasGrabadas << mensaje;
    }))
{
    categoriaGrabada = categoria;
    lineasGrabadas.clear();
}

BitacoraGrabada::~BitacoraGrabada()
{
    qInstallMessageHandler(m_anterior);
}

QStringList BitacoraGrabada::lineas() const
{
    return lineasGrabadas;
}

std::shared_ptr<AvisoVisto> respondeAviso(const QString &nombre)
{
    auto visto = std::make_shared<AvisoVisto>();
    alAparecer(nombre, [visto](QWidget &ventana) {
        if (auto *caja = qobject_cast<QMessageBox *>(&ventana)) {
            *visto = {true, caja->text(), caja->informativeText()};
            caja->button(QMessageBox::Ok)->click();
        }
    });
    return visto;
}

QWidget *ventanaAbierta(const QString &nombre)
{
    return abiertas(nombre).value(0);
}

int ventanasAbiertas(const QString &nombre)
{
    return int(abiertas(nombre).size());
}

void activa(QWidget &ventana)
{
    QCoreApplication::processEvents(); // activations the platform queued for windows shown earlier
    QApplication::setActiveWindow(&ventana);
    [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(&ventana, 1000);
    QCoreApplication::processEvents();
}

} // namespace Pruebas
