#pragma once

#include "controles/listview.h"

#include <QString>

// The count of the opportunities listed, as the board's label and the status bar say it. A
// list of fewer than two columns is no view's result: it counts none, and the label keeps the
// singular it has always shown for it ("0 Oportunidad").
namespace Cuenta {

inline int listadas(const Kit::ListView &lista)
{
    return lista.columnCount() > 1 ? lista.itemCount() : 0;
}

// "1 oportunidad", "12 oportunidades"; the label writes the word with a capital.
inline QString enPalabras(int cuantas, bool mayuscula = false)
{
    const QString palabra = mayuscula ? QStringLiteral("Oportunidad") : QStringLiteral("oportunidad");
    return QString::number(cuantas) + QLatin1Char(' ') + palabra + (cuantas == 1 ? QString() : QStringLiteral("es"));
}

inline QString deLaEtiqueta(const Kit::ListView &lista)
{
    if (lista.columnCount() <= 1)
        return QStringLiteral("0 Oportunidad");
    return enPalabras(lista.itemCount(), true);
}

} // namespace Cuenta
