#pragma once

#include <QObject>
#include <QString>

class QDialog;
class VentanaPrincipal;

// In a run without a display nobody answers a message box or a dialog that waits for the
// user (the salesperson's login of an operator who has none), and the run would wait for
// ever. The first that appears is written to the log (and so to standard error), drawn into
// the capture when one was asked for, and ends the run with a failure; one that comes after
// it does not wait either.
class MensajesSinPantalla final : public QObject
{
public:
    // Watches the whole application from now on; `captura` empty: no picture.
    MensajesSinPantalla(VentanaPrincipal &ventana, QString captura);
    ~MensajesSinPantalla() override;

    // Whether a box appeared: the run has failed, even if no event loop has ended yet.
    bool huboMensaje() const { return m_huboMensaje; }

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override;

private:
    void termina(QDialog &dialogo);

    VentanaPrincipal &m_ventana;
    QString m_captura;
    bool m_huboMensaje = false;
};
