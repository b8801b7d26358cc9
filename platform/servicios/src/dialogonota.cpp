#include "dialogonota.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Servicios {
namespace {

QLabel *etiqueta(const QString &texto, const QString &nombre, QWidget *parent)
{
    auto *creada = new QLabel(texto, parent);
    creada->setObjectName(nombre);
    creada->setTextFormat(Qt::PlainText);
    return creada;
}

QFormLayout *datosDeLaEntidad(const QString &entidad, const QString &clave, QWidget *parent)
{
    auto *datos = new QFormLayout;
    datos->addRow(etiqueta(QStringLiteral("Entidad:"), QStringLiteral("lbEtiquetaEntidad"), parent),
                  etiqueta(entidad, QStringLiteral("lbEntidad"), parent));
    datos->addRow(etiqueta(QStringLiteral("Clave:"), QStringLiteral("lbEtiquetaClave"), parent),
                  etiqueta(clave, QStringLiteral("lbClave"), parent));
    return datos;
}

QDialogButtonBox *botonesAceptarCancelar(QDialog *dialogo)
{
    auto *botones = new QDialogButtonBox(dialogo);
    botones->setObjectName(QStringLiteral("botones"));
    botones->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("cmdAceptar"));
    botones->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdCancelar"));
    QObject::connect(botones, &QDialogButtonBox::accepted, dialogo, &QDialog::accept);
    QObject::connect(botones, &QDialogButtonBox::rejected, dialogo, &QDialog::reject);
    return botones;
}

} // namespace

const ClaseDeNota &ClaseDeNota::seguimiento()
{
    static const ClaseDeNota clase{
        QStringLiteral("dlgSeguimiento"), QStringLiteral("Seguimiento"), QStringLiteral("Seguimiento"),
        QStringLiteral("Sg_Entidad, Sg_Clave, Sg_Nota, Sg_Operador, Sg_Fecha"), QStringLiteral("el seguimiento")};
    return clase;
}

const ClaseDeNota &ClaseDeNota::evento()
{
    static const ClaseDeNota clase{QStringLiteral("dlgEvento"), QStringLiteral("Evento"), QStringLiteral("Evento"),
                                   QStringLiteral("Ev_Entidad, Ev_Clave, Ev_Descripcion, Ev_Operador, Ev_Fecha"),
                                   QStringLiteral("el evento")};
    return clase;
}

DialogoNota::DialogoNota(const ClaseDeNota &clase, const QString &entidad, const QString &clave, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(clase.nombreDialogo);
    setWindowTitle(clase.titulo);
    setModal(true);

    m_nota = new QPlainTextEdit(this);
    m_nota->setObjectName(QStringLiteral("txtNota"));
    m_nota->setTabChangesFocus(true);
    m_nota->setPlaceholderText(QStringLiteral("Escriba aquí la nota"));

    m_aviso = etiqueta(QStringLiteral("Escriba la nota antes de aceptar."), QStringLiteral("lbAviso"), this);
    m_aviso->setStyleSheet(QStringLiteral("color: #b00020"));
    m_aviso->hide();

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addLayout(datosDeLaEntidad(entidad, clave, this));
    disposicion->addWidget(m_nota);
    disposicion->addWidget(m_aviso);
    disposicion->addWidget(botonesAceptarCancelar(this));
    resize(420, 260);
    m_nota->setFocus();
}

QString DialogoNota::nota() const
{
    return m_nota->toPlainText().trimmed();
}

void DialogoNota::accept()
{
    if (nota().isEmpty()) {
        m_aviso->show();
        m_nota->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace Servicios
