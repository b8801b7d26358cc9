#pragma once

#include <QString>

#include <vector>

// The views of the board as the variable "CRM_VISTA_CONTROL_OPORTUNIDADES" writes them.
// Reading them is kept apart from the form, with no widget and no database, so the rules
// can be checked against any text an administrator may have typed.

struct Vista
{
    QString nombre;
    QString consulta;
};

// Entries "name|key" separated by ","; names and keys are kept exactly as written (blanks
// included), anything after a second "|" is ignored, and an entry without both a name and
// a key (blanks aside) adds no view.
std::vector<Vista> LeeVistas(const QString &texto);
