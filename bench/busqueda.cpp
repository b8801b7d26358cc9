// Working in a full list: a search that goes through every cell without a match, sorts by a
// text column with many repeated values and by one with every value distinct, and the quick
// filter as a user types a word into it.
#include "mediciones.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QElapsedTimer>

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

// Each keystroke until the rows it leaves are painted: the letters of an organisation's name
// typed without its accent ("Señorial"), the first of which leaves most rows, then Esc.
double teclazoMasLargoDelFiltro(Kit::ListView &lista)
{
    const QString palabra = QStringLiteral("senorial");
    double masLargo = 0;
    for (qsizetype letras = 1; letras <= palabra.size() + 1; ++letras) {
        QElapsedTimer reloj;
        reloj.start();
        lista.setQuickFilter(palabra.first(letras % (palabra.size() + 1)));
        lista.viewport()->repaint();
        masLargo = std::max(masLargo, double(reloj.nsecsElapsed()) / 1e6);
    }
    return masLargo;
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
    imprime(corrida.nombre(QStringLiteral("filter_keystroke")), teclazoMasLargoDelFiltro(lista), QStringLiteral("ms"));
}

} // namespace Banco
