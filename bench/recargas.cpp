// Reloads against the floor: a full reload, a refresh that finds nothing new, one that
// finds ten changed rows, and a fresh board up to its first painted list.
#include "cambios.h"
#include "mediciones.h"
#include "piso.h"
#include "tablero.h"

#include "controles/listview.h"

#include <algorithm>
#include <optional>

namespace Banco {
namespace {

std::function<double()> delPiso(Piso &piso)
{
    return [&piso] { return piso.mide(); };
}

void recargaCompleta(const Corrida &corrida, Tablero &tablero, Piso &piso, const Plan &plan)
{
    const auto vaciaYRecarga = [&] { tablero.recargaCompleta(); };
    const auto revisa = [&] { tablero.revisaCuenta("una recarga completa"); };
    const Razon razon = razonAlPiso(plan.veces, delPiso(piso), Lado{.mide = vaciaYRecarga, .revisa = revisa});
    imprime(corrida.nombre(QStringLiteral("floor")), razon.piso, QStringLiteral("ms"));
    imprimeRazon(corrida, QStringLiteral("reload"), razon);
}

void refrescoSinCambios(const Corrida &corrida, Tablero &tablero, Piso &piso, RenglonesTocados &tocados,
                        const Plan &plan)
{
    tocados.olvida();
    const auto recarga = [&] { tablero.recargaPintada(); };
    const Razon razon = razonAlPiso(plan.veces, delPiso(piso), Lado{.mide = recarga});
    imprimeRazon(corrida, QStringLiteral("refresh_unchanged"), razon);
    imprime(corrida.nombre(QStringLiteral("refresh_unchanged_rows_touched")), tocados.cuenta(), QStringLiteral("rows"));
}

// Each time the same ten rows change state on another connection, committed before the
// timed reload; the figure is the most rows any of those reloads touched.
void refrescoConDiezCambios(const Corrida &corrida, const Base &base, Tablero &tablero, Piso &piso,
                            RenglonesTocados &tocados, const Plan &plan)
{
    ConexionPlana otroUsuario(base.direccion);
    const QStringList folios = diezFolios(corrida.filas);
    int masTocados = 0;
    const auto cambia = [&] {
        cambiaEstados(otroUsuario, folios);
        tocados.olvida();
    };
    const auto recarga = [&] { tablero.recargaPintada(); };
    const auto cuenta = [&] { masTocados = std::max(masTocados, tocados.cuenta()); };
    const Razon razon = razonAlPiso(plan.veces, delPiso(piso),
                                    Lado{.prepara = cambia, .mide = recarga, .revisa = cuenta});
    imprimeRazon(corrida, QStringLiteral("refresh_10_changed"), razon);
    imprime(corrida.nombre(QStringLiteral("refresh_10_changed_rows_touched")), masTocados, QStringLiteral("rows"));
}

} // namespace

// Building the form is not timed; showing it loads it, and its first activation loads the
// list.
void midePrimeraPintura(const Corrida &corrida, Piso &piso, const Plan &plan)
{
    std::optional<Tablero> nuevo;
    const auto construye = [&] { nuevo.emplace(corrida.filas); };
    const auto muestra = [&] { nuevo->muestra(limiteDePintura); };
    const auto cierra = [&] { nuevo.reset(); };
    const Razon razon = razonAlPiso(plan.veces, delPiso(piso),
                                    Lado{.prepara = construye, .mide = muestra, .revisa = cierra});
    imprimeRazon(corrida, QStringLiteral("first_paint"), razon);
}

void mideRecargas(const Corrida &corrida, const Base &base, Tablero &tablero, Piso &piso, const Plan &plan)
{
    recargaCompleta(corrida, tablero, piso, plan);
    RenglonesTocados tocados(*tablero.lista().model(), corrida.filas);
    refrescoSinCambios(corrida, tablero, piso, tocados, plan);
    refrescoConDiezCambios(corrida, base, tablero, piso, tocados, plan);
}

} // namespace Banco
