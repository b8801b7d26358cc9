#include "dialogonota.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
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

DialogoNota::DialogoNota(TipoDeNota tipo, const QString &entidad, const QString &clave, QWidget *parent)
    : QDialog(parent)
{
    const bool seguimiento = tipo == TipoDeNota::Seguimiento;
    setObjectName(seguimiento ? QStringLiteral("dlgSeguimiento") : QStringLiteral("dlgEvento"));
    setWindowTitle(seguimiento ? QStringLiteral("Seguimiento") : QStringLiteral("Evento"));
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

std::optional<QString> capturaConDialogo(TipoDeNota tipo, const QString &entidad, const QString &clave)
{
    QPointer<DialogoNota> dialogo = new DialogoNota(tipo, entidad, clave, QApplication::activeWindow());
    const bool aceptado = dialogo->exec() == QDialog::Accepted;
    if (dialogo.isNull())
        return std::nullopt;
    const QString nota = dialogo->nota();
    delete dialogo.data();
    return aceptado ? std::optional<QString>(nota) : std::nullopt;
}

} // namespace Servicios
