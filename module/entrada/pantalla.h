#pragma once

#include <QObject>
#include <QVariant>

// The module's one public class: the host creates it, reads `GetPantalla` to obtain the
// board and `Modulo` to learn the module's family, both by name.
class Pantalla final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariant GetPantalla READ GetPantalla)
    Q_PROPERTY(QVariant Modulo READ Modulo)

public:
    Pantalla();
    ~Pantalla() override;

    // The board, created on the first request and the same instance afterwards; an empty
    // object reference when it cannot be obtained.
    QVariant GetPantalla() const;
    QVariant Modulo() const;

    // Objects of the module still alive; the library can be unloaded at zero.
    static int ObjetosVivos();
};
