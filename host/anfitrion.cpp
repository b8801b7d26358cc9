#include "anfitrion.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QWidget>

Q_LOGGING_CATEGORY(logAnfitrion, "teqvaro.anfitrion")

Anfitrion::Anfitrion(QString operador, QObject *parent)
    : QObject(parent)
    , m_operador(std::move(operador))
{
    setObjectName(QStringLiteral("Anfitrion"));
}

QString Anfitrion::Transaccion() const
{
    return QStringLiteral("OPERADOR=%1|ORIGEN=KLD251").arg(m_operador);
}

void Anfitrion::setPantalla(QWidget *pantalla)
{
    m_pantalla = pantalla;
}

void Anfitrion::transacciones(const QString &modulo, const QString &parametros)
{
    qCInfo(logAnfitrion).noquote() << "Solicitud de pantalla:" << modulo << parametros;
    QMessageBox aviso(QMessageBox::Information, QStringLiteral("Teqvaro"),
                      QStringLiteral("El módulo %1 no está instalado en este equipo.").arg(modulo), QMessageBox::Ok,
                      m_pantalla);
    aviso.setObjectName(QStringLiteral("AvisoModulo"));
    aviso.setInformativeText(QStringLiteral("Solicitud: %1").arg(parametros));
    aviso.button(QMessageBox::Ok)->setText(QStringLiteral("Aceptar"));
    aviso.exec();
}

void Anfitrion::close()
{
    qCInfo(logAnfitrion) << "La pantalla se cierra";
    if (m_pantalla)
        m_pantalla->close();
    Q_EMIT cerrado();
}
