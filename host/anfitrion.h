#pragma once

#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(logAnfitrion)

class QWidget;

// The host object a module's screen receives as its `Padre`: it reads `Transaccion`, asks
// `transacciones` to open other modules' screens, and closes the screen through `close`.
// All three are reached by name.
class Anfitrion final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    explicit Anfitrion(QString operador, QObject *parent = nullptr);

    QString Transaccion() const;
    void setPantalla(QWidget *pantalla);

    Q_INVOKABLE void transacciones(const QString &modulo, const QString &parametros);
    Q_INVOKABLE void close();

Q_SIGNALS:
    void cerrado();

private:
    QString m_operador;
    QPointer<QWidget> m_pantalla;
};
