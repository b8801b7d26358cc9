#include "servicios/frenodeintentos.h"

#include "registro.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace Servicios {
namespace {

constexpr int fallosLibres = 5;
constexpr std::chrono::milliseconds primeraEspera{1000};
constexpr std::chrono::milliseconds esperaMaxima{30000};

} // namespace

FrenoDeIntentos::FrenoDeIntentos(Espera espera)
    : m_espera(std::move(espera))
{ }

std::chrono::milliseconds FrenoDeIntentos::esperaTras(int fallos)
{
    if (fallos < fallosLibres)
        return std::chrono::milliseconds{0};
    const int duplicaciones = std::min(fallos - fallosLibres, 5); // 2^5 s already passes the cap
    return std::min(primeraEspera * (1 << duplicaciones), esperaMaxima);
}

void FrenoDeIntentos::esperaSinEntrada(std::chrono::milliseconds tiempo)
{
    QEventLoop bucle;
    QTimer::singleShot(tiempo, &bucle, &QEventLoop::quit);
    bucle.exec(QEventLoop::ExcludeUserInputEvents);
}

QString FrenoDeIntentos::clave(const QString &codigo)
{
    return codigo.trimmed().toUpper();
}

void FrenoDeIntentos::antesDeRevisar(const QString &codigo) const
{
    const std::chrono::milliseconds espera = esperaTras(m_fallos.value(clave(codigo)));
    if (espera.count() > 0)
        m_espera(espera);
}

// A failure is logged with the code it was for (never what was typed as the password), so
// an administrator sees guessing as it happens.
void FrenoDeIntentos::anota(const QString &codigo, bool acerto)
{
    if (acerto) {
        m_fallos.remove(clave(codigo));
        return;
    }
    const int fallos = ++m_fallos[clave(codigo)];
    qCWarning(logServicios).noquote() << "Ingreso fallido con la clave" << codigo << "- fallos seguidos:" << fallos;
}

FrenoDeIntentos &frenoDeVendedores()
{
    static FrenoDeIntentos freno;
    return freno;
}

} // namespace Servicios
