#include "sesiones.h"

#include "piso.h"
#include "procesos.h"

#include <QSqlQuery>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace Banco {

SesionesDeLosTableros::SesionesDeLosTableros(ConexionPlana &conexion)
    : m_conexion(conexion)
{
    m_ajenas = delosTableros();
}

// Parallel workers of a board's reading carry the application name too; they live for one
// statement, and the seconds' sampling may miss them: the plan of the measured view has
// none on this size.
std::set<qint64> SesionesDeLosTableros::delosTableros()
{
    QSqlQuery consulta(m_conexion.base());
    consulta.setForwardOnly(true);
    if (!consulta.exec(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE application_name = 'Teqvaro' "
                                      "AND datname = current_database() AND pid <> pg_backend_pid()")))
        throw std::runtime_error("No se pueden leer las sesiones del servidor");
    std::set<qint64> procesos;
    while (consulta.next())
        procesos.insert(consulta.value(0).toLongLong());
    std::erase_if(procesos, [this](qint64 proceso) { return m_ajenas.contains(proceso); });
    return procesos;
}

std::set<qint64> SesionesDeLosTableros::muestrea(std::map<qint64, Cuenta> &cuentas, bool desdeAhora)
{
    std::set<qint64> vivas;
    for (const qint64 proceso : delosTableros()) {
        const std::optional<double> cpu = cpuFinaDe(proceso);
        if (!cpu)
            continue; // ended since the question
        vivas.insert(proceso);
        const auto [cuenta, nueva] = cuentas.try_emplace(proceso, Cuenta{desdeAhora ? *cpu : 0, *cpu});
        if (!nueva)
            cuenta->second.ultima = *cpu;
    }
    return vivas;
}

ConsumoDeSesiones SesionesDeLosTableros::cpuEn(std::chrono::seconds ventana)
{
    std::map<qint64, Cuenta> cuentas;
    const auto fin = std::chrono::steady_clock::now() + ventana;
    muestrea(cuentas, true);
    while (std::chrono::steady_clock::now() < fin) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::seconds(1), fin - std::chrono::steady_clock::now()));
        muestrea(cuentas, false);
    }
    const std::set<qint64> alFinal = muestrea(cuentas, false);
    ConsumoDeSesiones consumo;
    for (const auto &[proceso, cuenta] : cuentas) {
        consumo.cpu += cuenta.ultima - cuenta.alEmpezar;
        ++consumo.sesiones;
        consumo.terminadas += alFinal.contains(proceso) ? 0 : 1;
    }
    return consumo;
}

} // namespace Banco
