#pragma once

// Control prefixes: frm form, lv list view, cbo combo box, txt text box, img image button,
// lb label, fr frame, Tmr timer.

#include "runtime/form.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

// The opportunity board: the module's one screen.
class frmKLD251 final : public Runtime::Form
{
    Q_OBJECT
    Q_PROPERTY(QObject *Padre READ Padre WRITE setPadre)
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    explicit frmKLD251(QWidget *parent = nullptr);
    ~frmKLD251() override;

    // The host object that opened the board; closing the board means closing it.
    QObject *Padre() const;
    void setPadre(QObject *padre);

    // The host's transaction descriptor as the service library composes it. No error trap:
    // a failure (no host object, a host without `Transaccion`) goes to the reader.
    QString Transaccion() const;

private:
    QPointer<QObject> m_padre;
};
