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
//
// The screens of the sibling modules are the host's own stand-ins (see Solicitudes), opened
// modeless and owned by the window that holds the module's screen. A request the host cannot
// answer, or that fails, is explained to the user in a message box and never ends the host;
// every request is written to the log with what came of it.
class Anfitrion final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    explicit Anfitrion(QString operador, QObject *parent = nullptr);

    QString Transaccion() const;
    void setPantalla(QWidget *pantalla);
    QWidget *pantalla() const { return m_pantalla; }

    Q_INVOKABLE void transacciones(const QString &modulo, const QString &parametros);
    Q_INVOKABLE void close();

Q_SIGNALS:
    void cerrado();
    // What came of a request, or what the user did on a screen the host opened, in words
    // for the status bar.
    void accionRealizada(const QString &descripcion);

private:
    QString atiende(const QString &modulo, const QString &parametros);
    QWidget *duena() const;
    void avisaNoInstalado(const QString &modulo, const QString &parametros);

    QString m_operador;
    QPointer<QWidget> m_pantalla;
};
