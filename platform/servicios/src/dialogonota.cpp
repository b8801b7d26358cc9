#include "dialogonota.h"

#include <QApplication>
#include <QDialogButtonBox>
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

// What the note is about, in the words of the screens: "la oportunidad F-1". An entity this
// library does not know keeps its own name.
QString asunto(const QString &entidad, const QString &clave)
{
    if (entidad.compare(QStringLiteral("OPORTUNIDAD"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("la oportunidad %1").arg(clave);
    return QStringLiteral("%1 %2").arg(entidad.toLower(), clave);
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
    const QString deQue = asunto(entidad, clave);
    setWindowTitle((seguimiento ? QStringLiteral("Seguimiento de %1") : QStringLiteral("Evento de %1")).arg(deQue));
    setModal(true);

    m_nota = new QPlainTextEdit(this);
    m_nota->setObjectName(QStringLiteral("txtNota"));
    m_nota->setTabChangesFocus(true);
    m_nota->setPlaceholderText(QStringLiteral("Escriba aquí la nota"));

    m_aviso = etiqueta(QStringLiteral("Escriba la nota antes de aceptar."), QStringLiteral("lbAviso"), this);
    m_aviso->setStyleSheet(QStringLiteral("color: #b00020"));
    m_aviso->hide();

    QLabel *rotulo = etiqueta(
        (seguimiento ? QStringLiteral("Nota del seguimiento de %1:") : QStringLiteral("Descripción del evento de %1:"))
            .arg(deQue),
        QStringLiteral("lbNota"), this);
    rotulo->setBuddy(m_nota);

    auto *disposicion = new QVBoxLayout(this);
    disposicion->addWidget(rotulo);
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
