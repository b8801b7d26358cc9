// The refresh timer and the board's side of the list's reloading.
#include "frmKLD251.h"

#include "recargadelista.h"

bool frmKLD251::recargaEnCurso() const
{
    return m_recarga->enCurso();
}

void frmKLD251::TmrRefresh_Timer()
{
    m_recarga->aplicaPendiente();
    if (m_ticks < TiempoActualizar) {
        ++m_ticks;
        m_recarga->tocaElTimbre();
        return;
    }
    m_ticks = 0;
    if (!CveVendedor.isEmpty())
        m_recarga->recargaAutomatica();
}

// Every way the list is read reports to the board through these.
std::unique_ptr<RecargaDeLista> frmKLD251::creaRecarga()
{
    RecargaDeLista::Avisos avisos{
        .fallaDeLectura = [this](std::exception_ptr falla) { reportaFallaDeRecarga(falla); },
        .fallaDeAspecto = [this](std::exception_ptr falla) { reportaFallaDeColor(falla); },
        .consultaFaltante = [this](const QString &clave) { avisaConsultaFaltante(clave); },
        .conexion = [this](bool responde) { anunciaConexion(responde); },
        .cuentaCambiada = [this] { actualizaCuenta(); },
    };
    return std::make_unique<RecargaDeLista>(
        *lvOrdenes, [this] { return consultaDeLaVista(); }, std::move(avisos));
}
