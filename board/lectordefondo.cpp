#include "lectordefondo.h"

#include "ado/connection.h"
#include "servicios/lecturalista.h"

#include <QtConcurrent/QtConcurrentRun>

namespace {

// The changed rows alone, when they can be merged exactly; otherwise the view is read whole,
// whatever stopped this reading (the whole reading reports a failure of the connection).
bool leeSoloCambiadas(Ado::Connection &conexion, const PedidoDeLectura &pedido, LecturaDeFondo &lectura)
{
    if (!pedido.cambiadas)
        return false;
    try {
        std::optional<LecturaDeCambiadas> cambiadas = leeCambiadas(conexion, pedido.sql, *pedido.cambiadas,
                                                                   pedido.mostrada);
        if (!cambiadas)
            return false;
        lectura.filas = std::move(cambiadas->mezcla.actualizacion);
        lectura.soloCambiadas = true;
        lectura.conservada = std::move(cambiadas->mezcla.conservada);
        lectura.releidas = std::move(cambiadas->mezcla.releidas);
        lectura.aspectos = std::move(cambiadas->aspectos);
        return true;
    } catch (...) {
        return false;
    }
}

LecturaDeFondo lee(PedidoDeLectura pedido, const std::atomic_bool &detenida, std::unique_ptr<Ado::Connection> &abierta)
{
    const auto debeParar = [&] { return detenida.load() || Ado::Connection::localWrites() != pedido.escrituras; };
    LecturaDeFondo lectura;
    lectura.generacion = pedido.generacion;
    lectura.ficha = pedido.ficha;
    lectura.inicio = pedido.inicio;
    lectura.comparadaCon = pedido.mostrada.table;
    try {
        if (!abierta || abierta->address() != pedido.direccion || abierta->isBroken())
            abierta = std::make_unique<Ado::Connection>(pedido.direccion);
        Ado::Connection &conexion = *abierta;
        if (leeSoloCambiadas(conexion, pedido, lectura)) {
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
        abierta.reset(); // the next reading connects afresh
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
    QtConcurrent::run(&m_hilo, [abierta = m_abierta] { abierta->reset(); }).waitForFinished();
    m_hilo.waitForDone();
}

void LectorDeFondo::lee(PedidoDeLectura pedido)
{
    m_detenida = std::make_shared<std::atomic_bool>(false);
    m_leyendo = true;
    m_vigilante.setFuture(
        QtConcurrent::run(&m_hilo, [pedido = std::move(pedido), detenida = m_detenida, abierta = m_abierta]() mutable {
            return ::lee(std::move(pedido), *detenida, *abierta);
        }));
}

void LectorDeFondo::detiene()
{
    if (m_detenida)
        m_detenida->store(true);
}
