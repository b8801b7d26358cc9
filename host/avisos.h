#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The host's own message boxes: modal, titled "Teqvaro", with Spanish buttons. The owner's
// window is the one the box blocks; without an owner the box blocks the application.
namespace Avisos {

// objectName of every box shown here unless the caller names it otherwise.
inline const QString NombreAviso = QStringLiteral("AvisoAnfitrion");

void muestra(QWidget *duena, QMessageBox::Icon icono, const QString &texto, const QString &detalle = QString(),
             const QString &nombre = NombreAviso);

inline void informa(QWidget *duena, const QString &texto, const QString &detalle = QString())
{
    muestra(duena, QMessageBox::Information, texto, detalle);
}

inline void advierte(QWidget *duena, const QString &texto, const QString &detalle = QString())
{
    muestra(duena, QMessageBox::Warning, texto, detalle);
}

inline void reportaFalla(QWidget *duena, const QString &texto, const QString &detalle = QString())
{
    muestra(duena, QMessageBox::Critical, texto, detalle);
}

} // namespace Avisos
