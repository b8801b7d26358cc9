#pragma once

#include "servicios/servicios.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace Pruebas {

// One message the module asked the service library to show.
struct MensajeMostrado
{
    QString texto;
    qint32 estilo = 0;
    QString titulo;
    QPointer<QWidget> propietario;
    QString modulo;
    QString idError;
};

// The session's environment with the real database, configuration and permissions, but
// whose message box only records what it was asked and answers what the test scripted
// (Sí for a question, Aceptar otherwise, when nothing is scripted).
class EntornoGrabador final : public Servicios::Entorno
{
public:
    EntornoGrabador();
    ~EntornoGrabador() override;

    std::shared_ptr<Ado::Connection> Conexion() override { return m_real->Conexion(); }
    QString Operador() override { return m_real->Operador(); }
    QVariant LeeVariable(const QString &nombre, qint32 reservado, const QString &tipo,
                         const QVariant &predeterminado) override
    {
        return m_real->LeeVariable(nombre, reservado, tipo, predeterminado);
    }
    bool OpcionRestringida(const QString &modulo, const QString &opcion, const QString &leyenda) override
    {
        return m_real->OpcionRestringida(modulo, opcion, leyenda);
    }
    qint32 Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario,
                   const QString &modulo, const QString &idError) override;

    std::vector<MensajeMostrado> mensajes;
    std::deque<qint32> respuestas;
    // Runs inside the message box's call, as the user's time in front of it.
    std::function<void(const MensajeMostrado &)> alMostrar;

    QStringList identificadores() const;

private:
    std::unique_ptr<Servicios::Entorno> m_real;
};

// Makes the module start afresh with a recording environment (and the real functions and
// processes); returns the environment, which the module owns.
EntornoGrabador &iniciaModuloConGrabador();

// A host object as the module expects one, recording the screens it is asked to open and
// whether it was closed.
class AnfitrionGrabador final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    QString Transaccion() const { return QStringLiteral("OPERADOR=PRUEBA"); }

    Q_INVOKABLE void transacciones(const QString &modulo, const QString &parametros);
    Q_INVOKABLE void close();

    QStringList solicitudes; // "module parameters"
    int cierres = 0;
    QPointer<QWidget> pantalla; // closed with the host object, as a host does
};

} // namespace Pruebas
