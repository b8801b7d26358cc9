#include "procesos.h"

#include <QDebug>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace Banco {
namespace {

double milisegundos(const timeval &tiempo)
{
    return double(tiempo.tv_sec) * 1e3 + double(tiempo.tv_usec) / 1e3;
}

double ticksEnMilisegundos(qint64 ticks)
{
    static const double porTick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    return double(ticks) * porTick;
}

// The fields after the command's name, which may itself hold spaces and parentheses:
// [0] state, [1] parent, ... [11] utime, [12] stime.
QList<QByteArray> camposDeStat(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray linea = stat.readAll();
    const qsizetype finDelNombre = linea.lastIndexOf(')');
    if (finDelNombre < 0)
        return {};
    return linea.mid(finDelNombre + 2).split(' ');
}

// argv as exec wants it, alive as long as this object.
class Argumentos
{
public:
    explicit Argumentos(std::vector<std::string> textos)
        : m_textos(std::move(textos))
    {
        for (std::string &texto : m_textos)
            m_punteros.push_back(texto.data());
        m_punteros.push_back(nullptr);
    }
    char **punteros() { return m_punteros.data(); }

private:
    std::vector<std::string> m_textos;
    std::vector<char *> m_punteros;
};

class SalidaDescartada
{
public:
    SalidaDescartada()
    {
        posix_spawn_file_actions_init(&m_acciones);
        posix_spawn_file_actions_addopen(&m_acciones, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    ~SalidaDescartada() { posix_spawn_file_actions_destroy(&m_acciones); }
    SalidaDescartada(const SalidaDescartada &) = delete;
    SalidaDescartada &operator=(const SalidaDescartada &) = delete;
    const posix_spawn_file_actions_t *acciones() const { return &m_acciones; }

private:
    posix_spawn_file_actions_t m_acciones;
};

// A pipe may move fewer bytes than asked for, and a signal may interrupt it.
template<typename Byte, typename Llamada> bool mueveTodo(Llamada llamada, int descriptor, Byte *bytes, size_t largo)
{
    while (largo > 0) {
        const ssize_t movidos = llamada(descriptor, bytes, largo);
        if (movidos < 0 && errno == EINTR)
            continue;
        if (movidos <= 0)
            return false;
        bytes += movidos;
        largo -= size_t(movidos);
    }
    return true;
}

bool leeTodo(int descriptor, void *destino, size_t largo)
{
    return mueveTodo(::read, descriptor, static_cast<char *>(destino), largo);
}

bool escribeTodo(int descriptor, const void *origen, size_t largo)
{
    return mueveTodo(::write, descriptor, static_cast<const char *>(origen), largo);
}

// A request is the program and its arguments, each ended by a NUL, after their length.
bool leePedido(int descriptor, std::vector<std::string> &argumentos)
{
    quint32 largo = 0;
    if (!leeTodo(descriptor, &largo, sizeof largo))
        return false;
    std::string texto(largo, '\0');
    if (!leeTodo(descriptor, texto.data(), largo))
        return false;
    argumentos.clear();
    for (size_t inicio = 0; inicio < texto.size();) {
        const size_t fin = texto.find('\0', inicio);
        argumentos.push_back(texto.substr(inicio, fin - inicio));
        inicio = fin + 1;
    }
    return true;
}

struct Respuesta
{
    int estado = -1;
    long memoriaMaximaKb = 0;
};

// wait4 gives this child's peak alone; RUSAGE_CHILDREN would give the largest of all the
// children waited for so far.
Respuesta ejecuta(std::vector<std::string> argumentos)
{
    Argumentos argv(std::move(argumentos));
    const SalidaDescartada salida;
    Respuesta respuesta;
    pid_t hijo = 0;
    if (posix_spawn(&hijo, argv.punteros()[0], salida.acciones(), nullptr, argv.punteros(), environ) != 0)
        return respuesta;
    rusage uso{};
    while (wait4(hijo, &respuesta.estado, 0, &uso) < 0 && errno == EINTR) { }
    respuesta.memoriaMaximaKb = uso.ru_maxrss;
    return respuesta;
}

[[noreturn]] void sirve(int pedidos, int respuestas)
{
    std::vector<std::string> argumentos;
    while (leePedido(pedidos, argumentos)) {
        const Respuesta respuesta = ejecuta(argumentos);
        if (!escribeTodo(respuestas, &respuesta, sizeof respuesta))
            break;
    }
    _exit(0); // nothing of the benchmark's (its temporary folder) is this process's to clean up
}

} // namespace

double cpuPropia()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return milisegundos(uso.ru_utime) + milisegundos(uso.ru_stime);
}

std::optional<TiemposDeProceso> tiemposDe(qint64 pid)
{
    const QList<QByteArray> campos = camposDeStat(pid);
    if (campos.size() < 15)
        return std::nullopt;
    TiemposDeProceso tiempos;
    tiempos.propios = ticksEnMilisegundos(campos.at(11).toLongLong() + campos.at(12).toLongLong());
    return tiempos;
}

std::optional<double> cpuFinaDe(qint64 pid)
{
    QFile schedstat(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (schedstat.open(QIODevice::ReadOnly)) {
        bool leido = false;
        const qint64 nanosegundos = schedstat.readLine().split(' ').value(0).toLongLong(&leido);
        if (leido)
            return double(nanosegundos) / 1e6;
    }
    const std::optional<TiemposDeProceso> tiempos = tiemposDe(pid);
    return tiempos ? std::optional(tiempos->propios) : std::nullopt;
}

std::optional<qint64> padreDe(qint64 pid)
{
    const QList<QByteArray> campos = camposDeStat(pid);
    bool leido = false;
    const qint64 padre = campos.value(1).toLongLong(&leido);
    return leido ? std::optional(padre) : std::nullopt;
}

std::vector<qint64> hijosDe(qint64 pid)
{
    std::vector<qint64> hijos;
    for (const QString &nombre : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool esProceso = false;
        const qint64 otro = nombre.toLongLong(&esProceso);
        if (esProceso && padreDe(otro) == pid)
            hijos.push_back(otro);
    }
    return hijos;
}

Lanzador::Lanzador()
{
    int pedidos[2];
    int respuestas[2];
    if (pipe2(pedidos, O_CLOEXEC) != 0 || pipe2(respuestas, O_CLOEXEC) != 0)
        return;
    const pid_t proceso = fork();
    if (proceso == 0) {
        close(pedidos[1]);
        close(respuestas[0]);
        sirve(pedidos[0], respuestas[1]);
    }
    close(pedidos[0]);
    close(respuestas[1]);
    m_pedidos = pedidos[1];
    m_respuestas = respuestas[0];
    m_proceso = proceso;
}

// Closing the requests ends the launcher.
Lanzador::~Lanzador()
{
    if (m_pedidos >= 0)
        close(m_pedidos);
    if (m_respuestas >= 0)
        close(m_respuestas);
    if (m_proceso > 0)
        waitpid(pid_t(m_proceso), nullptr, 0);
}

std::optional<double> Lanzador::memoriaMaximaDe(const QString &programa, const QStringList &argumentos)
{
    QByteArray pedido;
    for (const QString &argumento : QStringList{programa} + argumentos)
        pedido += argumento.toLocal8Bit() + '\0';
    const auto largo = quint32(pedido.size());
    Respuesta respuesta;
    if (m_proceso <= 0 || !escribeTodo(m_pedidos, &largo, sizeof largo)
        || !escribeTodo(m_pedidos, pedido.constData(), largo) || !leeTodo(m_respuestas, &respuesta, sizeof respuesta)) {
        qWarning() << "el lanzador no responde";
        return std::nullopt;
    }
    if (!WIFEXITED(respuesta.estado) || WEXITSTATUS(respuesta.estado) != 0) {
        qWarning() << programa << argumentos << "no terminó bien:" << respuesta.estado;
        return std::nullopt;
    }
    return double(respuesta.memoriaMaximaKb) / 1024.0;
}

} // namespace Banco
