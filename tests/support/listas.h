#pragma once

#include "controles/listview.h"

#include <QStringList>

namespace Pruebas {

// The texts of one column of a list in the order shown; column 0 is the items'.
inline QStringList columna(const Kit::ListView &lista, int numero = 0)
{
    QStringList textos;
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon)
        textos << (numero == 0 ? lista.itemText(renglon) : lista.subItemText(renglon, numero));
    return textos;
}

} // namespace Pruebas
