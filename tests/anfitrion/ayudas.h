#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QWidget;

namespace Pruebas {

// Records what the program writes to its log under one category while it lives.
class BitacoraGrabada
{
public:
    explicit BitacoraGrabada(const char *categoria = "teqvaro.anfitrion");
    ~BitacoraGrabada();
    BitacoraGrabada(const BitacoraGrabada &) = delete;
    BitacoraGrabada &operator=(const BitacoraGrabada &) = delete;

    QStringList lineas() const;

private:
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
std::shared_ptr<AvisoVisto> respondeAviso(const QString &nombre = QStringLiteral("AvisoAnfitrion"));

// The visible top-level windows of that objectName: the first one, if any, and how many.
QWidget *ventanaAbierta(const QString &nombre);
int ventanasAbiertas(const QString &nombre);

// Makes the window the active one, as the user's click would.
void activa(QWidget &ventana);

} // namespace Pruebas
