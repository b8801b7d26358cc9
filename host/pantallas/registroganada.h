#pragma once

#include "oportunidades.h"
#include "suplente.h"

#include <memory>

class QPlainTextEdit;
class QPushButton;

struct ServiciosDelAnfitrion;

namespace Pantallas {

// In place of the module that registers a won opportunity (the one the variable
// CRM_TRANSACCION_OPORTUNIDAD_GANADA names), asked with "NUEVO=<folio>": shows the
// opportunity, takes optional notes and, once the user confirms, closes it as won through
// the service library, as the board does when no such module is configured. The notes are
// kept as a follow-up of the opportunity.
class RegistroGanada final : public Suplente
{
    Q_OBJECT

public:
    RegistroGanada(const QString &modulo, const Oportunidad &oportunidad, QWidget *duena);
    ~RegistroGanada() override;

private:
    void registra();
    QString motivoParaNoRegistrar();
    void guardaNotas(const QString &notas);

    QString m_folio;
    std::unique_ptr<ServiciosDelAnfitrion> m_servicios;
    QPlainTextEdit *txtNotas = nullptr;
    QPushButton *cmdRegistrar = nullptr;
};

} // namespace Pantallas
