#include "servidorcongelado.h"

#include "piso.h"
#include "procesos.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace Banco {
namespace {

// The postmaster of the server the connection talks to: the parent of the connection's
// server process, and only when that parent works in the server's data folder. A server on
// another machine has process numbers that mean nothing here, and a stranger must never be
// stopped.
std::optional<pid_t> postmasterDe(ConexionPlana &conexion)
{
    try {
        const qint64 servidor = conexion.primerValor(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        const QString datos = conexion.primerValor(QStringLiteral("SHOW data_directory")).toString();
        const std::optional<qint64> padre = padreDe(servidor);
        if (!padre || *padre <= 1) {
            qWarning() << "el proceso" << servidor << "del servidor no está en este equipo";
            return std::nullopt;
        }
        // The kernel gives the folder with its links resolved; the server, as it was named.
        const QString carpeta = QFileInfo(QStringLiteral("/proc/%1/cwd").arg(*padre)).symLinkTarget();
        if (carpeta.isEmpty()) {
            qWarning() << "este usuario no tiene derecho sobre el proceso" << *padre << "del servidor";
            return std::nullopt;
        }
        if (carpeta != QDir::cleanPath(datos) && carpeta != QFileInfo(datos).canonicalFilePath()) {
            qWarning() << "el proceso" << *padre << "no es el servidor de" << datos << "(trabaja en" << carpeta << ")";
            return std::nullopt;
        }
        return pid_t(*padre);
    } catch (const std::exception &falla) {
        qWarning() << "no se pudo saber qué procesos son del servidor:" << falla.what();
        return std::nullopt;
    }
}

// Only what a forked child of a process with threads may call: read, kill, _exit.
[[noreturn]] void guarda(int aviso, const std::vector<pid_t> &detenidos)
{
    char nada = 0;
    while (read(aviso, &nada, 1) < 0 && errno == EINTR) { }
    for (const pid_t pid : detenidos)
        kill(pid, SIGCONT);
    _exit(0);
}

} // namespace

ServidorCongelado::ServidorCongelado(ConexionPlana &conexion)
{
    if (const std::optional<pid_t> postmaster = postmasterDe(conexion))
        detiene(*postmaster);
    if (detenido())
        dejaGuardia();
}

ServidorCongelado::~ServidorCongelado()
{
    sigue();
}

// The postmaster first, so that it forks nothing after its children are listed. A process
// that ended meanwhile needs no stopping; one that cannot be stopped leaves the server half
// running, which is no hung server: every one goes on again.
void ServidorCongelado::detiene(pid_t postmaster)
{
    if (kill(postmaster, SIGSTOP) != 0) {
        qWarning() << "no se pudo detener el servidor (proceso" << postmaster << "):" << std::strerror(errno);
        return;
    }
    m_detenidos.push_back(postmaster);
    for (const qint64 hijo : hijosDe(postmaster)) {
        if (kill(pid_t(hijo), SIGSTOP) == 0) {
            m_detenidos.push_back(pid_t(hijo));
        } else if (errno != ESRCH) {
            qWarning() << "no se pudo detener el proceso" << hijo << "del servidor:" << std::strerror(errno);
            sigue();
            return;
        }
    }
}

void ServidorCongelado::sigue()
{
    for (const pid_t pid : m_detenidos)
        kill(pid, SIGCONT);
    m_detenidos.clear();
    if (m_avisoAlGuardia >= 0)
        close(m_avisoAlGuardia);
    m_avisoAlGuardia = -1;
    if (m_guardia > 0)
        waitpid(m_guardia, nullptr, 0);
    m_guardia = -1;
}

// A process of its own that lets the server go on when this one ends, however it ends (the
// watchdog's exit or a crash run no destructor): the end closes the pipe the guard reads.
void ServidorCongelado::dejaGuardia()
{
    int tubo[2];
    if (pipe2(tubo, O_CLOEXEC) != 0) {
        qWarning() << "sin guardia para el servidor detenido:" << std::strerror(errno);
        return;
    }
    const pid_t guardia = fork();
    if (guardia == 0) {
        close(tubo[1]);
        guarda(tubo[0], m_detenidos);
    }
    close(tubo[0]);
    if (guardia < 0) {
        qWarning() << "sin guardia para el servidor detenido:" << std::strerror(errno);
        close(tubo[1]);
        return;
    }
    m_guardia = guardia;
    m_avisoAlGuardia = tubo[1];
}

} // namespace Banco
