// The toolbar's actions as a menu of the list (right click or the menu key; F10, with or
// without Shift, opens the list's own menu instead), so every action on the selected
// opportunity can be reached from the keyboard while the focus stays on the list.
#include "frmKLD251.h"

#include "controles/listview.h"

#include <QMenu>
#include <QToolButton>

void frmKLD251::muestraMenuDeAcciones(const QPoint &enLaLista)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuAcciones"));
    menu.setAccessibleName(QStringLiteral("Acciones de la oportunidad"));
    for (QToolButton *boton : {imgRefrescar, imgNuevo, imgCancelar, imgEstadoOp, imgGanada, imgPerdida, imgSeguimiento,
                               imgEvento, imgContacto, imgOrganizacion, imgOportunidad, imgEditOportunidad}) {
        if (boton->isHidden())
            continue;
        QAction *accion = menu.addAction(boton->icon(), boton->toolTip());
        accion->setObjectName(boton->objectName());
        connect(accion, &QAction::triggered, boton, &QToolButton::click);
    }
    const int seleccionado = lvOrdenes->selectedIndex();
    QPoint donde = enLaLista;
    if (seleccionado > 0 && !lvOrdenes->viewport()->rect().contains(enLaLista))
        donde = lvOrdenes->itemRect(seleccionado).center();
    menu.exec(lvOrdenes->viewport()->mapToGlobal(donde));
}
