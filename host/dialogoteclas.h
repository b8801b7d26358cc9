#pragma once

#include <QList>
#include <QString>

class QWidget;

// "Ayuda → Teclas" ("dlgTeclas"): the keys and clicks of the board, one per row of the table
// "tblTeclas". The README's list of keys is this same table, word for word.
namespace DialogoTeclas {

struct Tecla
{
    QString tecla;
    QString accion;
};

QList<Tecla> teclas();

// Modal over `duena`'s window; returns once the user closes it.
void muestra(QWidget *duena);

} // namespace DialogoTeclas
