#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Keeps the activation rule of a form embedded in the main window. A form runs its
// activation handler when it becomes the active window coming from another window of the
// application, not when the application regains the focus from another program; the form
// tells the two apart only when it is itself the window that was active. Embedded, it
// receives the main window's activation instead (QWidget passes WindowActivate on to its
// visible children) and the window that was active is the main window, so this filter
// holds back from the form the one activation that only returns from another program.
class ActivacionIncrustada final : public QObject
{
public:
    // Watches `pantalla`, a screen inside another window; owned by the screen.
    explicit ActivacionIncrustada(QWidget *pantalla);
    ~ActivacionIncrustada() override;

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override;

private:
    void alCambiarEstado(Qt::ApplicationState estado);

    QWidget *m_pantalla;
    QPointer<QObject> m_ultimaActiva; // the application's window activated last
    bool m_vuelveDeOtroPrograma = false;
};
