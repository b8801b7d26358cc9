// Find-next over the rows as the list shows them.
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"

#include "controles/listmodel.h"
#include "controles/listview.h"

#include "controles/txtzel.h"
#include <QStringMatcher>

// Letter case is ignored by Unicode case folding, which reads each cell where it lies
// instead of making a lower-case copy of it. Rows the window's quick filter hides are not
// shown, so they are not searched.
int frmKLD251::Buscar(Kit::ListView &Lv, const QString &Cadena)
{
    const int inicio = Lv.selectedIndex() == 0 ? 1 : Lv.selectedIndex() + 1;
    const int ultimo = Lv.itemCount();
    const Kit::ListModel &renglones = Lv.listModel();
    const QStringMatcher buscada(Cadena, Qt::CaseInsensitive);
    for (int renglon = inicio; renglon <= ultimo; ++renglon) {
        if (!renglones.isShown(renglon - 1))
            continue;
        for (int columna = 0; columna < renglones.textCount(renglon - 1); ++columna) {
            if (buscada.indexIn(renglones.text(renglon - 1, columna)) >= 0) {
                Lv.ensureVisible(renglon);
                return renglon;
            }
        }
    }
    Lv.clearSelection();
    return 0;
}

void frmKLD251::txtBuscar_Buscar()
{
    int encontrado = 0;
    Publico::IgnoraError([&] { encontrado = Buscar(*lvOrdenes, txtBuscar->Texto()); });
    if (encontrado != 0) {
        Publico::IgnoraError([&] { lvOrdenes->selectItem(encontrado); });
        Publico::IgnoraError([&] { lvOrdenes->setFocus(); });
        return;
    }
    const QWidget *activo = activeControl();
    const bool desdeLaCaja = activo && activo->objectName().toUpper() == QLatin1String("TXTBUSCAR");
    if (desdeLaCaja) {
        Publico::IgnoraError([&] {
            Publico::Mensaje(QStringLiteral("No se encontraron coincidencias"), Servicios::Estilo::Exclamacion,
                             QStringLiteral("Buscar"), this, Publico::Modulo, QStringLiteral("ERR-ID:7500019"));
        });
        Publico::IgnoraError([&] { lvOrdenes->clearSelection(); });
        Publico::IgnoraError([&] {
            if (txtBuscar->Habilitado())
                txtBuscar->setFocus();
        });
        return;
    }
    Publico::IgnoraError([&] {
        Publico::Mensaje(QStringLiteral("No se encontraron más coincidencias"), Servicios::Estilo::Exclamacion,
                         QStringLiteral("Buscar"), this, Publico::Modulo, QStringLiteral("ERR-ID:7500020"));
    });
}
