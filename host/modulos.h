#pragma once

#include "runtime/componentregistry.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

class QObject;
class QWidget;

// The modules installed on this computer (the registration names of the component registry)
// and those this session loaded, each with its screen. A module stays loaded while the host
// runs: its screen belongs to it and goes when the module object goes.
class Modulos final
{
public:
    explicit Modulos(const QString &registro = Runtime::ComponentRegistry::defaultFile());
    ~Modulos();
    Modulos(const Modulos &) = delete;
    Modulos &operator=(const Modulos &) = delete;

    // Registration names ("KLD251.Pantalla"), in order.
    QStringList instalados() const;

    // The module's screen, loading the module on first use. Raises 429 when it cannot be
    // loaded and 91 when it hands out no screen.
    QWidget *pantalla(const QString &nombreDeRegistro);
    // Its screen when loaded, else nothing.
    QWidget *cargada(const QString &nombreDeRegistro) const;
    // What users call the module ("Control de oportunidades"); its registration name when the
    // host knows no other.
    static QString nombreParaElUsuario(const QString &nombreDeRegistro);
    // The family the module says it belongs to ("CRM").
    QString familia(const QString &nombreDeRegistro) const;

private:
    struct Cargado
    {
        std::unique_ptr<QObject> modulo;
        QPointer<QWidget> pantalla;
    };

    QString m_registro;
    Runtime::ComponentLoader m_cargador;
    std::map<QString, Cargado> m_cargados;
};
