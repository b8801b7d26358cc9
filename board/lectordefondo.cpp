#include "lectordefondo.h"

#include "ado/connection.h"
#include "servicios/lecturalista.h"

#include <QtConcurrent/QtConcurrentRun>

namespace {

using Respuesta = CambiosDeLaVista::Respuesta;

// The changed rows alone, when they can be merged exactly; otherwise the view is read whole,
// whatever stopped this reading (the whole reading reports a failure of the connection).
bool leeSoloCambiadas(Ado::Connection &conexion, const PedidoDeLectura &pedido,
                      const std::optional<Cambiadas> &cambiadas, LecturaDeFondo &lectura)
{
    if (!cambiadas)
        return false;
    try {
        std::optional<LecturaDeCambiadas> leida = leeCambiadas(conexion, pedido.sql, *cambiadas, pedido.mostrada);
        if (!leida)
            return false;
        lectura.filas = std::move(leida->mezcla.actualizacion);
        lectura.soloCambiadas = true;
        lectura.conservada = std::move(leida->mezcla.conservada);
        lectura.releidas = std::move(leida->mezcla.releidas);
        lectura.aspectos = std::move(leida->aspectos);
        return true;
    } catch (...) {
        return false;
    }
}

// Nothing rang for the view's tables since the rows shown were read, and no look is due:
// nothing to ask. Only a view whose tables the board knows listens.
bool callado(Ado::Connection &conexion, const PedidoDeLectura &pedido, EstadoDelLector &estado)
{
    if (!pedido.ficha || conexion.engine() != Ado::Engine::PostgreSQL)
        return false;
    if (Ado::Connection *principal = estado.servidor.principalAbierta(); principal && principal != &conexion)
        estado.timbre.calla(*principal); // read from the standby: nothing of it on the primary
    std::optional<QStringList> tablas;
    try {
        tablas = estado.cambios.estudia(conexion, pedido.sql).tablas;
    } catch (...) {
        if (conexion.isBroken())
            throw;
    }
    return tablas && !estado.timbre.hayQuePreguntar(conexion, *tablas);
}

// The change question, asked where the reading would read; none when it cannot be asked.
std::optional<Respuesta> pregunta(const PedidoDeLectura &pedido, EstadoDelLector &estado)
{
    if (pedido.preguntaFija)
        return pedido.preguntaFija();
    try {
        return estado.servidor.pregunta(pedido.servidores, [&](Ado::Connection &conexion) {
            if (callado(conexion, pedido, estado))
                return Respuesta{Respuesta::Que::Nada, {}, *pedido.ficha, false};
            return estado.cambios.pregunta(conexion, pedido.sql, pedido.ficha);
        });
    } catch (...) {
        return std::nullopt;
    }
}

// A minute after the last full reading, a view that depends on the clock is read whole; in
// doubt (a statement the board cannot study), it does.
bool tocaLecturaCompleta(const PedidoDeLectura &pedido, EstadoDelLector &estado)
{
    if (!pedido.minutoCumplido)
        return false;
    try {
        return estado.cambios.estudia(estado.servidor.elegida(pedido.servidores), pedido.sql).dependeDelReloj;
    } catch (...) {
        return true;
    }
}

// Only some opportunities changed, in a view whose rows can be read again one opportunity at
// a time, and it is not yet time to read a view that depends on the clock whole.
std::optional<Cambiadas> soloCambiadas(const PedidoDeLectura &pedido, EstadoDelLector &estado,
                                       Ado::Connection &conexion)
{
    if (!pedido.cambios || pedido.cambios->que != Respuesta::Que::Oportunidades || !pedido.mismaConsulta
        || tocaLecturaCompleta(pedido, estado))
        return std::nullopt;
    try {
        const EstudioDeVista &estudio = estado.cambios.estudia(conexion, pedido.sql);
        if (estudio.porFolio)
            return Cambiadas{pedido.cambios->folios, estudio.porFolio->descendente, estudio.intercalacionDelFolio};
    } catch (...) {
        // read it whole
    }
    return std::nullopt;
}

// Whether the question leaves anything to read here: nothing changed (and no full reading is
// due), or the stored query must be read again first, on the user-interface thread. A
// question that could not be asked leaves the reading to report why.
bool respondeSinLeer(PedidoDeLectura &pedido, EstadoDelLector &estado, LecturaDeFondo &lectura)
{
    const std::optional<Respuesta> cambios = pregunta(pedido, estado);
    lectura.respondio = cambios.has_value();
    if (cambios && pedido.ficha && cambios->que == Respuesta::Que::Nada && !tocaLecturaCompleta(pedido, estado)) {
        lectura.sinCambios = true;
        lectura.ficha = cambios->ficha;
        return true;
    }
    lectura.ficha = cambios ? std::optional(cambios->ficha) : std::nullopt;
    if ((cambios && cambios->consultaCambiada) || pedido.sql.isEmpty()) {
        lectura.releeLaConsulta = cambios.value_or(Respuesta{});
        return true;
    }
    pedido.cambios = cambios;
    return false;
}

LecturaDeFondo lee(PedidoDeLectura pedido, const std::atomic_bool &detenida, EstadoDelLector &estado)
{
    const auto debeParar = [&] { return detenida.load() || Ado::Connection::localWrites() != pedido.escrituras; };
    LecturaDeFondo lectura;
    lectura.generacion = pedido.generacion;
    lectura.ficha = pedido.ficha;
    lectura.inicio = pedido.inicio;
    lectura.comparadaCon = pedido.mostrada.table;
    if (pedido.pregunta && respondeSinLeer(pedido, estado, lectura))
        return lectura;
    try {
        Ado::Connection &conexion = estado.servidor.elegida(pedido.servidores);
        if (leeSoloCambiadas(conexion, pedido, soloCambiadas(pedido, estado, conexion), lectura)) {
            if (debeParar())
                lectura.filas.reset(); // stopped: it brings nothing
            return lectura;
        }
        {
            Ado::Recordset datos = conexion.Execute(pedido.sql);
            lectura.filas = Servicios::leeLista(datos, pedido.mostrada, debeParar);
        }
        if (!lectura.filas || debeParar()) {
            lectura.filas.reset(); // stopped: it brings nothing
            return lectura;
        }
        const Kit::TextTable &filas = lectura.filas->table ? *lectura.filas->table : *pedido.mostrada.table;
        try {
            lectura.aspectos = Aspectos::lee(conexion, filas);
        } catch (...) {
            lectura.fallaDeAspectos = std::current_exception();
        }
    } catch (...) {
        lectura.fallaDeLista = std::current_exception();
        estado.servidor.olvidaConexiones(); // the next reading connects afresh
    }
    return lectura;
} // the rows shown are let go here, before the user-interface thread hears of the result

} // namespace

LectorDeFondo::LectorDeFondo(std::function<void(LecturaDeFondo)> alTerminar, QObject *parent)
    : QObject(parent)
    , m_alTerminar(std::move(alTerminar))
{
    m_hilo.setMaxThreadCount(1);
    m_hilo.setExpiryTimeout(-1); // one thread for good: the connection it opened is used only there
    connect(&m_vigilante, &QFutureWatcher<LecturaDeFondo>::finished, this, [this] {
        m_leyendo = false;
        if (m_vigilante.future().resultCount() > 0)
            m_alTerminar(m_vigilante.future().takeResult());
    });
}

LectorDeFondo::~LectorDeFondo()
{
    detiene();
    // The connections close on their own thread, after whatever is queued there. (Waiting on a
    // future instead could run the closing on this thread, while that thread still used them.)
    m_hilo.start([estado = m_estado] { estado->reset(); });
    m_hilo.waitForDone();
}

void LectorDeFondo::lee(PedidoDeLectura pedido)
{
    m_detenida = std::make_shared<std::atomic_bool>(false);
    m_leyendo = true;
    m_vigilante.setFuture(
        QtConcurrent::run(&m_hilo, [pedido = std::move(pedido), detenida = m_detenida, estado = m_estado]() mutable {
            return ::lee(std::move(pedido), *detenida, **estado);
        }));
}

void LectorDeFondo::tocaElTimbre()
{
    // One ring at a time: a server that does not answer holds it up to the wait's limit, and
    // the ticks meanwhile queue nothing.
    if (m_leyendo || m_tocando->exchange(true))
        return;
    m_hilo.start([estado = m_estado, tocando = m_tocando] {
        EstadoDelLector &lector = **estado;
        if (Ado::Connection *conexion = lector.servidor.principalAbierta()) {
            try {
                lector.timbre.tocaSiLeToca(*conexion);
            } catch (...) {
                // the link broke: the next question says so
            }
        }
        tocando->store(false);
    });
}

void LectorDeFondo::detiene()
{
    if (m_detenida)
        m_detenida->store(true);
}
