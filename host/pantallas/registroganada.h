#pragma once

#include "oportunidades.h"
#include "suplente.h"

#include <memory>

class QDateEdit;
class QDoubleSpinBox;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;

struct ServiciosDelAnfitrion;

namespace Pantallas {

// In place of the module that registers a won opportunity (the one the variable
// CRM_TRANSACCION_OPORTUNIDAD_GANADA names), asked with "NUEVO=<folio>" once the board has
// asked the user: takes the closing date and the amount (the day and the amount the
// opportunity has, to be corrected) and optional notes, and closes it as won through the
// service library, as the board does when no such module is configured. The notes are kept as
// a follow-up of the opportunity. It opens with the cursor in the notes, and no key typed in a
// field registers: only a click on (or Space on the focused) "Registrar como ganada" does.
class RegistroGanada final : public Suplente
{
    Q_OBJECT

public:
    RegistroGanada(const Oportunidad &oportunidad, QWidget *duena);
    ~RegistroGanada() override;

protected:
    void keyPressEvent(QKeyEvent *evento) override;
    void showEvent(QShowEvent *evento) override;

private:
    void registra();
    QString motivoParaNoRegistrar();
    bool guardaMontoYFecha();
    void guardaNotas(const QString &notas);

    Oportunidad m_leida;
    std::unique_ptr<ServiciosDelAnfitrion> m_servicios;
    QDateEdit *dtpCierre = nullptr;
    QDoubleSpinBox *txtMonto = nullptr;
    QPlainTextEdit *txtNotas = nullptr;
    QPushButton *cmdRegistrar = nullptr;
};

} // namespace Pantallas
