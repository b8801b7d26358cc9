// The peak memory of a board's process through a day's work: its first load, reloads that
// each find ten changed rows, and one that finds every row changed, when the old rows and
// the new ones are alive together; on a view too large for a day of reloads, its first load
// alone. Measured in a process of its own, so that nothing the benchmark itself holds counts.
#include "cambios.h"
#include "cargagrande.h"
#include "mediciones.h"
#include "piso.h"
#include "procesos.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QCoreApplication>
#include <QDebug>

namespace Banco {
namespace {

void recargasDelDia(const Ado::DatabaseAddress &direccion, Tablero &tablero)
{
    ConexionPlana otroUsuario(direccion);
    const QStringList folios = diezFolios(tablero.filas());
    for (int vez = 0; vez < 3; ++vez) {
        cambiaEstados(otroUsuario, folios);
        tablero.recargaPintada();
    }
    RenglonesTocados tocados(*tablero.lista().model(), tablero.filas());
    otroUsuario.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = Op_Descripcion || ' (revisada)'"));
    tablero.recargaPintada();
    if (tocados.cuenta() < tablero.filas())
        qWarning() << "la recarga con todo cambiado tocó" << tocados.cuenta() << "de" << tablero.filas() << "filas";
    tablero.revisaCuenta("las recargas del día");
}

} // namespace

void mideMemoria(const Corrida &corrida, const Base &base, Lanzador &lanzador)
{
    const std::optional<double> pico = lanzador.memoriaMaximaDe(
        QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), base.direccion.toDisplayString(),
                                                  QStringLiteral("--rows"), QString::number(corrida.filas)});
    if (pico)
        imprime(corrida.nombre(QStringLiteral("memory_peak")), *pico, QStringLiteral("MB"));
}

int hijoDeMemoria(const QString &direccion, int filas)
{
    const Ado::DatabaseAddress base = Ado::DatabaseAddress::parse(direccion);
    iniciaSesion(base);
    bool cargado = false;
    {
        Tablero tablero(filas);
        cargado = tablero.muestra(limiteDePintura);
        if (cargado && !soloPrimeraCarga(filas))
            recargasDelDia(base, tablero);
    }
    terminaSesion();
    return cargado ? 0 : 1;
}

} // namespace Banco
