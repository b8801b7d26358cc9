// The list's own events.
#include "frmKLD251.h"

#include "lanzador.h"
#include "publico.h"

#include "controles/listview.h"
#include "runtime/form.h"

#include <QClipboard>
#include <QGuiApplication>

// Every header click flips the one sort order of the list, whichever column it sorts.
void frmKLD251::lvOrdenes_ColumnClick(int columna)
{
    lvOrdenes->setSortKey(columna - 1);
    lvOrdenes->setSorted(true);
    lvOrdenes->setSortOrder(lvOrdenes->sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmKLD251::lvOrdenes_DblClick()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    Lanzador::Lanza(Padre(), Lanzador::EditorOportunidades,
                    Lanzador::Parametros(Lanzador::Editar, folioSeleccionado()));
}

void frmKLD251::lvOrdenes_KeyDown(int keyCode, int shift)
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    if (keyCode == Runtime::KeyCode::C && shift == Runtime::ShiftState::Control) {
        QClipboard *portapapeles = QGuiApplication::clipboard();
        portapapeles->clear();
        portapapeles->setText(folioSeleccionado());
        anuncia(QStringLiteral("Folio %1 copiado").arg(folioSeleccionado()));
    }
    if (keyCode == Runtime::KeyCode::F10)
        Publico::Funciones->AccionLista(*lvOrdenes);
}
