#include "anfitrion.h"

#include "mediciones.h"
#include "procesos.h"
#include "tablero.h"

#include <QElapsedTimer>
#include <QProcess>

namespace Banco {

QProcessEnvironment entornoDelAnfitrion()
{
    QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
    entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return entorno;
}

QStringList argumentosDelAnfitrion(const Base &base)
{
    return {QStringLiteral("--bd"), base.direccion.toDisplayString(), QStringLiteral("--operador"), operadorDelBanco};
}

// From the start of the process to the first paint of the demo's board with its rows. The
// first run creates the demo database and is left out.
double arranqueDemo()
{
    std::vector<double> tiempos;
    for (int vez = 0; vez < 6; ++vez) {
        QProcess anfitrion;
        anfitrion.setProcessEnvironment(entornoDelAnfitrion());
        const double tiempo = milisegundosDe([&] {
            anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--mide-arranque")});
            anfitrion.waitForFinished(60000);
        });
        if (vez > 0)
            tiempos.push_back(tiempo);
    }
    return mediana(std::move(tiempos));
}

// The host's own peak memory with the board of this database, up to its first paint.
void mideAnfitrion(const Corrida &corrida, const Base &base, Lanzador &lanzador)
{
    const QStringList argumentos = argumentosDelAnfitrion(base) + QStringList{QStringLiteral("--mide-arranque")};
    const std::optional<double> pico = lanzador.memoriaMaximaDe(QStringLiteral(TEQVARO_PROGRAMA), argumentos);
    if (pico)
        imprime(corrida.nombre(QStringLiteral("host_peak_memory")), *pico, QStringLiteral("MB"));
}

} // namespace Banco
