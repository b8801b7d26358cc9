#include "dialogoingreso.h"

#include "conexioninicial.h"
#include "ingreso.h"

#include "runtime/error.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *creaCampo(QWidget *padre, const QString &nombre, const QString &accesible)
{
    auto *campo = new QLineEdit(padre);
    campo->setObjectName(nombre);
    campo->setAccessibleName(accesible);
    return campo;
}

} // namespace

DialogoIngreso::DialogoIngreso(Ingreso &ingreso, const QString &codigo, QWidget *parent)
    : QDialog(parent)
    , m_ingreso(ingreso)
{
    setObjectName(QStringLiteral("DialogoIngreso"));
    setWindowTitle(QStringLiteral("Teqvaro: inicio de sesión"));
    m_codigo = creaCampo(this, QStringLiteral("codigo"), QStringLiteral("Operador"));
    m_codigo->setText(codigo);
    m_contrasena = creaCampo(this, QStringLiteral("contrasena"), QStringLiteral("Contraseña"));
    m_contrasena->setEchoMode(QLineEdit::Password);
    m_aviso = new QLabel(this);
    m_aviso->setObjectName(QStringLiteral("aviso"));
    m_aviso->setWordWrap(true);
    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    botones->setObjectName(QStringLiteral("botones"));
    botones->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Entrar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Salir"));
    connect(botones, &QDialogButtonBox::accepted, this, &DialogoIngreso::intenta);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *campos = new QFormLayout;
    campos->addRow(QStringLiteral("&Operador:"), m_codigo);
    campos->addRow(QStringLiteral("&Contraseña:"), m_contrasena);
    auto *columna = new QVBoxLayout(this);
    columna->addLayout(campos);
    columna->addWidget(m_aviso);
    columna->addWidget(botones);
    (codigo.isEmpty() ? m_codigo : m_contrasena)->setFocus();
}

// Nothing escapes the click: a database that cannot be read is said in the dialog (a server
// that cannot be reached in plain words, the driver's own in the log), and the user may try
// again once it answers.
void DialogoIngreso::intenta()
{
    try {
        const std::optional<QString> operador = m_ingreso.entra(m_codigo->text().trimmed(), m_contrasena->text());
        if (!operador)
            return rechaza(Ingreso::rechazo());
        m_operador = *operador;
        accept();
    } catch (...) {
        const Runtime::RuntimeError error = Runtime::toRuntimeError(std::current_exception());
        const QString dicho = ConexionInicial::enPalabrasLlanas(error.description());
        if (dicho != error.description())
            qWarning().noquote() << error.description();
        rechaza(dicho);
    }
}

void DialogoIngreso::rechaza(const QString &motivo)
{
    m_aviso->setText(motivo);
    m_contrasena->clear();
    m_contrasena->setFocus();
}
