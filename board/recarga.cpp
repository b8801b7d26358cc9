// The automatic reload: the refresh timer asks the database whether anything was committed
// since the rows shown were read, and reads the list again only then (or once a minute, for
// views that depend on the clock), on a thread of its own; the user-interface thread only
// applies what changed.
#include "frmKLD251.h"

#include "atrapa.h"
#include "lectordefondo.h"
#include "publico.h"

#include "ado/connection.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "servicios/lecturalista.h"

#include <QScrollBar>

namespace {

// However quiet the database, the list is read in full at least this often: a view may
// depend on the clock.
constexpr std::chrono::seconds lecturaCompletaCada{60};

} // namespace

void frmKLD251::setReloj(Reloj reloj)
{
    m_reloj = std::move(reloj);
}

bool frmKLD251::recargaEnCurso() const
{
    return m_lector->leyendo() || m_lecturaPendiente;
}

void frmKLD251::TmrRefresh_Timer()
{
    aplicaLecturaPendiente();
    if (m_ticks < TiempoActualizar) {
        ++m_ticks;
        return;
    }
    m_ticks = 0;
    recargaAutomatica();
}

// The database's change token, or none when it cannot be asked (then the list is read, and
// the reading reports what fails, as any reload does).
std::optional<QString> frmKLD251::fichaDeCambios()
{
    try {
        return Publico::Entorno->Conexion()->changeToken();
    } catch (...) {
        return std::nullopt;
    }
}

void frmKLD251::marcaLeida(const std::optional<QString> &ficha, std::chrono::steady_clock::time_point inicio)
{
    m_fichaMostrada = ficha;
    m_leidaCompleta = inicio;
}

bool frmKLD251::hayQueLeer(const std::optional<QString> &ficha) const
{
    return !ficha || !m_fichaMostrada || *ficha != *m_fichaMostrada
           || m_reloj() - m_leidaCompleta >= lecturaCompletaCada;
}

// Nothing nests: no reading starts while one reads, waits to be shown, or while a reload
// runs on the user-interface thread.
void frmKLD251::recargaAutomatica()
{
    if (m_cargando || recargaEnCurso() || CveVendedor.isEmpty())
        return;
    const auto inicio = m_reloj();
    const std::optional<QString> ficha = fichaDeCambios();
    anunciaConexion(ficha.has_value());
    if (!hayQueLeer(ficha))
        return;
    comoRecarga(
        [&] {
            const std::optional<QString> consulta = consultaDeLaVista();
            if (!consulta)
                return;
            m_lector->lee(PedidoDeLectura{Publico::Entorno->Conexion()->address(), *consulta, lvOrdenes->snapshot(),
                                          m_generacion, ficha, inicio, Ado::Connection::localWrites()});
        },
        Recarga::Automatica);
}

void frmKLD251::recibeLectura(LecturaDeFondo lectura)
{
    if (lectura.generacion != m_generacion || !(lectura.filas || lectura.fallaDeLista))
        return;
    m_lecturaPendiente = std::make_unique<LecturaDeFondo>(std::move(lectura));
    aplicaLecturaPendiente();
}

// A reading waits while one of the board's messages is open or a reload runs, and is
// dropped when a reload or an action came after it began, or the rows it was compared with
// are no longer the rows shown.
void frmKLD251::aplicaLecturaPendiente()
{
    if (!m_lecturaPendiente || m_cargando || Publico::HayMensajeAbierto())
        return;
    std::unique_ptr<LecturaDeFondo> lectura = std::move(m_lecturaPendiente);
    if (lectura->generacion == m_generacion && lectura->comparadaCon.lock() == lvOrdenes->listModel().table())
        aplicaLectura(std::move(*lectura));
}

// As a reload on the user-interface thread would end: a list that could not be read stays
// as it was, with its count, and the failure is reported as an automatic reload's.
void frmKLD251::aplicaLectura(LecturaDeFondo lectura)
{
    comoRecarga(
        [&] {
            if (lectura.fallaDeLista) {
                marcaLeida(std::nullopt, lectura.inicio);
                actualizaCuenta();
                std::rethrow_exception(lectura.fallaDeLista);
            }
            const QString seleccionado = folioSeleccionado();
            const int desplazamiento = lvOrdenes->verticalScrollBar()->value();
            const bool filasNuevas = lectura.filas->table != nullptr;
            Servicios::aplicaLectura(*lvOrdenes, std::move(*lectura.filas));
            if (lectura.fallaDeAspectos)
                reportaFallaDeColor(lectura.fallaDeAspectos);
            aplicaAspectos(lectura.aspectos);
            if (filasNuevas)
                restauraPosicion(seleccionado, desplazamiento);
            marcaLeida(lectura.ficha, lectura.inicio);
            m_fallaDeRecargaMostrada.reset();
            actualizaCuenta();
        },
        Recarga::Automatica);
}

// A reload or an action makes any reading begun before it stale: it stops, and nothing it
// found is shown.
void frmKLD251::descartaLecturas()
{
    ++m_generacion;
    m_lector->detiene();
    m_lecturaPendiente.reset();
}
