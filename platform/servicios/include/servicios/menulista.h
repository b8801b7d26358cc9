#pragma once

#include "servicios/servicios_export.h"

#include <QString>

class QWidget;

namespace Controles {
class ListView;
}

namespace Servicios {

// The context menu of a list ("mnuAccionLista"), with the actions "accExportarCsv",
// "accCopiarFilas", "accResumenEstados" and "accAjustarColumnas". The export asks for the
// file in a non-native save dialog ("dlgExportarCsv"). The summary by state, offered only
// when the list has an "Estado" column, opens the modal "dlgResumenEstados".
class SERVICIOS_EXPORT MenuLista final
{
public:
    explicit MenuLista(Controles::ListView &lista);

    // Pops the menu up at the mouse when it is over the list, else at the list's middle,
    // and runs the chosen action.
    void abre();

    void exportaCsv();
    void muestraResumenEstados();
    // The chosen file, "" when the user cancelled.
    static QString pideArchivoCsv(QWidget *propietario);

private:
    Controles::ListView &m_lista;
};

} // namespace Servicios
