#include "avisos.h"

#include <QAbstractButton>

namespace Avisos {

void muestra(QWidget *duena, QMessageBox::Icon icono, const QString &texto, const QString &detalle,
             const QString &nombre)
{
    QMessageBox aviso(icono, QStringLiteral("Teqvaro"), texto, QMessageBox::Ok, duena);
    aviso.setObjectName(nombre);
    aviso.setTextFormat(Qt::PlainText);
    aviso.setInformativeText(detalle);
    aviso.button(QMessageBox::Ok)->setText(QStringLiteral("Aceptar"));
    aviso.exec();
}

} // namespace Avisos
