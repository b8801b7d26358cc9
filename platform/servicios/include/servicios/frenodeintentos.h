#pragma once

#include "servicios/servicios_export.h"

#include <QHash>
#include <QString>

#include <chrono>
#include <functional>

namespace Servicios {

// Slows down guessing at a sign-in. Each code counts its consecutive failures; from the
// fifth one on, every further attempt for that code first waits, one second and then twice
// as long each time, up to thirty seconds. A success clears the count. The wait is done by
// a function the owner gives, so tests observe it instead of sleeping.
class SERVICIOS_EXPORT FrenoDeIntentos final
{
public:
    using Espera = std::function<void(std::chrono::milliseconds)>;

    // By default the wait keeps the windows painted but takes no input meanwhile.
    explicit FrenoDeIntentos(Espera espera = esperaSinEntrada);

    // Waits as long as the failures so far of this code call for, before it is checked.
    void antesDeRevisar(const QString &codigo) const;
    // A failure is also logged, with the code (never the password).
    void anota(const QString &codigo, bool acerto);

    // The wait before the attempt that follows `fallos` consecutive failures.
    static std::chrono::milliseconds esperaTras(int fallos);
    static void esperaSinEntrada(std::chrono::milliseconds tiempo);

private:
    static QString clave(const QString &codigo);

    Espera m_espera;
    QHash<QString, int> m_fallos;
};

// The salesperson sign-in's brake, one per process: the login form comes and goes, guessing
// goes on. Tests put a fresh one, with a wait they observe, in its place.
SERVICIOS_EXPORT FrenoDeIntentos &frenoDeVendedores();

} // namespace Servicios
