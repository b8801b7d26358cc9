#pragma once

#include "servicios/servicios_export.h"

#include <QList>
#include <QString>

class QAction;
class QDate;
class QMenu;
class QWidget;

namespace Kit {
class ListView;
}

namespace Servicios {

// The actions on a whole list, defined once for every menu that offers them: "accExportarCsv",
// "accCopiarFilas", "accResumenEstados" and "accAjustarColumnas". They need no selected row.
// The export asks for the file in a non-native save dialog ("dlgExportarCsv"); the summary
// by state, which needs an "Estado" column, opens the modal "dlgResumenEstados".
class SERVICIOS_EXPORT EntradasDeLista final
{
public:
    // Adds the actions to the end of `menu`, which owns them.
    explicit EntradasDeLista(QMenu &menu);

    // Enables each action that can act on `lista`; without a list, none. A disabled one
    // tells why in its tooltip.
    void habilitaPara(const Kit::ListView *lista);

    // Runs `accion` on `lista` when it is one of these actions. Raises when the action fails
    // (a file that cannot be written).
    bool ejecuta(const QAction *accion, Kit::ListView &lista) const;

private:
    QMenu &m_menu;
    QList<QAction *> m_acciones;
};

// The context menu of a list ("mnuAccionLista"): the EntradasDeLista for that list.
class SERVICIOS_EXPORT MenuLista final
{
public:
    explicit MenuLista(Kit::ListView &lista);

    // Pops the menu up at the mouse when it is over the list, else at the list's middle,
    // and runs the chosen action.
    void abre();

    // The file the export suggests: "oportunidades-<view>-<yyyy-MM-dd>.csv", the view's name
    // made safe for any file system, or "oportunidades-<yyyy-MM-dd>.csv" without one.
    static QString nombreSugeridoCsv(const Kit::ListView &lista, const QDate &fecha);

    // What the status bar says once the list went to that file: "Se exportaron 12 filas a
    // /home/ana/oportunidades.csv".
    static QString exportacionTerminada(const Kit::ListView &lista, const QString &ruta);

    // The chosen file, "" when the user cancelled. The dialog opens in the folder of the last
    // export, else in the user's documents.
    static QString pideArchivoCsv(const Kit::ListView &lista);

private:
    Kit::ListView &m_lista;
};

} // namespace Servicios
