#include "ayudas.h"

#include "respuestas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

namespace Pruebas {
namespace {

QStringList &grabadas()
{
    static QStringList lineas;
    return lineas;
}

const char *&categoriaGrabada()
{
    static const char *categoria = nullptr;
    return categoria;
}

} // namespace

BitacoraGrabada::BitacoraGrabada(const char *categoria)
    : m_anterior(qInstallMessageHandler(&BitacoraGrabada::graba))
{
    categoriaGrabada() = categoria;
    grabadas().clear();
}

BitacoraGrabada::~BitacoraGrabada()
{
    qInstallMessageHandler(m_anterior);
}

QStringList BitacoraGrabada::lineas() const
{
    return grabadas();
}

void BitacoraGrabada::graba(QtMsgType, const QMessageLogContext &contexto, const QString &mensaje)
{
    if (contexto.category && qstrcmp(contexto.category, categoriaGrabada()) == 0)
        grabadas() << mensaje;
}

std::shared_ptr<AvisoVisto> respondeAviso(const QString &nombre)
{
    auto visto = std::make_shared<AvisoVisto>();
    alAparecer(nombre, [visto](QWidget &ventana) {
        auto *caja = qobject_cast<QMessageBox *>(&ventana);
        if (!caja)
            return;
        visto->visto = true;
        visto->texto = caja->text();
        visto->detalle = caja->informativeText();
        caja->button(QMessageBox::Ok)->click();
    });
    return visto;
}

QWidget *ventanaAbierta(const QString &nombre)
{
    for (QWidget *ventana : QApplication::topLevelWidgets()) {
        if (ventana->objectName() == nombre && ventana->isVisible())
            return ventana;
    }
    return nullptr;
}

int ventanasAbiertas(const QString &nombre)
{
    int cuenta = 0;
    for (QWidget *ventana : QApplication::topLevelWidgets())
        cuenta += ventana->objectName() == nombre && ventana->isVisible() ? 1 : 0;
    return cuenta;
}

void activa(QWidget &ventana)
{
    QCoreApplication::processEvents(); // activations the platform queued for windows shown earlier
    QApplication::setActiveWindow(&ventana);
    [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(&ventana, 1000);
    QCoreApplication::processEvents();
}

} // namespace Pruebas
