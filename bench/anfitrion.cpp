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
    return {QStringLiteral("--bd"), base.direccion.toDisplayString(), QStringLiteral("--operador"), operadorDelBanco,
            QStringLiteral("--contrasena-por-entrada")};
}

// The benchmark's database is no demo: its operator signs in with a password, set here as an
// administrator would and typed on the host's standard input.
void ponContrasenaDelBanco(const Base &base)
{
    QProcess anfitrion;
    anfitrion.setProcessEnvironment(entornoDelAnfitrion());
    anfitrion.start(QStringLiteral(TEQVARO_PROGRAMA), {QStringLiteral("--bd"), base.direccion.toDisplayString(),
                                                       QStringLiteral("--pon-contrasena-operador"), operadorDelBanco});
    anfitrion.write(QByteArray(contrasenaDelBanco) + '\n');
    anfitrion.closeWriteChannel();
    if (!anfitrion.waitForFinished(60000) || anfitrion.exitCode() != 0)
        qWarning().noquote() << "no se pudo poner la contraseña del operador del banco:"
                             << anfitrion.readAllStandardError();
}

// The host run through a shell that types the password: the shell waits for the host, so
// the host's peak memory is the one the shell reports.
QStringList conContrasena(const QStringList &argumentos)
{
    const QString escribe = QStringLiteral("printf '%s\\n' '%1' | exec \"$0\" \"$@\"")
                                .arg(QLatin1String(contrasenaDelBanco));
    return QStringList{QStringLiteral("-c"), escribe, QStringLiteral(TEQVARO_PROGRAMA)} + argumentos;
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
    const std::optional<double> pico = lanzador.memoriaMaximaDe(QStringLiteral("/bin/sh"), conContrasena(argumentos));
    if (pico)
        imprime(corrida.nombre(QStringLiteral("host_peak_memory")), *pico, QStringLiteral("MB"));
}

} // namespace Banco
