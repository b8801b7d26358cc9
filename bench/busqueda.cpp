// Working in a full list: a search that goes through every cell without a match, and
// sorts by a text column with many repeated values and by one with every value distinct.
#include "mediciones.h"
#include "tablero.h"

#include "controles/listview.h"

namespace Banco {
namespace {

// A header click only marks the list for sorting; reading its rows sorts it.
double ordenPorColumna(Kit::ListView &lista, int columna)
{
    return medianaDe(
        5, [] {},
        [&] {
            Q_EMIT lista.columnClick(columna);
            lista.listModel();
        });
}

} // namespace

void mideBusquedaYOrden(const Corrida &corrida, Tablero &tablero)
{
    Kit::ListView &lista = tablero.lista();
    const double busqueda = medianaDe(
        5, [&] { lista.clearSelection(); }, [&] { frmKLD251::Buscar(lista, QStringLiteral("zzzz-no-existe")); });
    imprime(corrida.nombre(QStringLiteral("search_no_match")), busqueda, QStringLiteral("ms"));
    constexpr int descripcion = 2; // many rows share each value
    constexpr int folio = 1;       // every value distinct
    imprime(corrida.nombre(QStringLiteral("sort_text")), ordenPorColumna(lista, descripcion), QStringLiteral("ms"));
    imprime(corrida.nombre(QStringLiteral("sort_unique_text")), ordenPorColumna(lista, folio), QStringLiteral("ms"));
}

} // namespace Banco
