#include "suplente.h"

#include "controles/directiontext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Pantallas {

Suplente::Suplente(const QString &nombre, const QString &titulo, QWidget *duena)
    : QDialog(duena)
{
    setObjectName(nombre);
    setWindowTitle(Kit::withDirectionShown(titulo));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    connect(this, &Suplente::accionRealizada, this, [this] { m_realizo = true; });
}

// A dialog's close goes through here too, also after its main action.
void Suplente::reject()
{
    if (m_registra && !m_realizo)
        Q_EMIT accionRealizada(QStringLiteral("No se registró nada: se canceló «%1»").arg(windowTitle()));
    QDialog::reject();
}

QLineEdit *campoDeLectura(QWidget &pantalla, QFormLayout &forma, const QString &etiqueta, const QString &nombre,
                          const QString &valor)
{
    auto *campo = new QLineEdit(Kit::withDirectionShown(valor), &pantalla);
    campo->setObjectName(nombre);
    campo->setReadOnly(true);
    pareceDeLectura(*campo);
    campo->setAccessibleName(etiqueta);
    campo->setCursorPosition(0);
    campo->setMinimumWidth(280);
    auto *rotulo = new QLabel(etiqueta + QLatin1Char(':'), &pantalla);
    rotulo->setObjectName(QStringLiteral("lb") + nombre.mid(3));
    rotulo->setBuddy(campo);
    forma.addRow(rotulo, campo);
    return campo;
}

QDialogButtonBox *Suplente::botones(QPushButton *principal, const QString &textoCerrar)
{
    auto *caja = new QDialogButtonBox(this);
    caja->setObjectName(QStringLiteral("botones"));
    m_registra = principal != nullptr;
    if (principal) {
        caja->addButton(principal, QDialogButtonBox::AcceptRole);
        principal->setDefault(true);
    }
    QPushButton *cerrar = caja->addButton(textoCerrar, QDialogButtonBox::RejectRole);
    cerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cerrar->setAccessibleName(textoCerrar);
    if (!principal)
        cerrar->setDefault(true);
    connect(caja, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return caja;
}

void pareceDeLectura(QLineEdit &campo)
{
    QPalette colores = campo.palette();
    colores.setColor(QPalette::Base, colores.color(QPalette::Window));
    campo.setPalette(colores);
}

QString conClave(const QString &nombre, const QString &clave)
{
    if (clave.isEmpty())
        return nombre;
    return nombre.isEmpty() ? clave : QStringLiteral("%1 (%2)").arg(nombre, clave);
}

} // namespace Pantallas
