#pragma once

#include "respuestas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <memory>

namespace Pruebas {

// Records what the program writes to its log under one category while it lives.
class BitacoraGrabada
{
public:
    explicit BitacoraGrabada(const char *categoria = "teqvaro.anfitrion")
    {
        categoriaGrabada = categoria;
        grabadas.clear();
        m_anterior = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &contexto, const QString &linea) {
            if (contexto.category && qstrcmp(contexto.category, categoriaGrabada) == 0)
                grabadas << linea;
        });
    }
    ~BitacoraGrabada() { qInstallMessageHandler(m_anterior); }
    Q_DISABLE_COPY(BitacoraGrabada)

    QStringList lineas() const { return grabadas; }

private:
    static inline QStringList grabadas;
    static inline const char *categoriaGrabada = nullptr;
    QtMessageHandler m_anterior;
};

// A message box that was answered: its text and its detail.
struct AvisoVisto
{
    bool visto = false;
    QString texto;
    QString detalle;
};

// Answers with Aceptar the next message box named `nombre` that comes up, keeping its texts.
inline std::shared_ptr<AvisoVisto> respondeAviso(const QString &nombre = "AvisoAnfitrion")
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

// The visible top-level windows of that objectName; the first one, if any.
inline QWidgetList ventanas(const QString &nombre)
{
    QWidgetList todas = QApplication::topLevelWidgets();
    todas.removeIf([&](const QWidget *ventana) { return ventana->objectName() != nombre || !ventana->isVisible(); });
    return todas;
}
inline QWidget *ventanaAbierta(const QString &nombre)
{
    return ventanas(nombre).value(0);
}

// Makes the window the active one, as the user's click would.
inline void activa(QWidget &ventana)
{
    QCoreApplication::processEvents(); // activations the platform queued for windows shown earlier
    QApplication::setActiveWindow(&ventana);
    [[maybe_unused]] const bool activa = QTest::qWaitForWindowActive(&ventana, 1000);
    QCoreApplication::processEvents();
}

} // namespace Pruebas
