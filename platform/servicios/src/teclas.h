#pragma once

#include <QString>

#include <vector>

namespace Servicios::Teclas {

struct Tecla
{
    int codigo = 0; // Qt::Key
    QString texto;
};

// Reads a key string: "\t" is Tab; "\r" and "\n" are Enter; a name in braces is a named
// key ({ENTER}, {TAB}, {ESC}, {BS}, {DEL}, {UP}, {DOWN}, {LEFT}, {RIGHT}, {HOME}, {END},
// {F1} to {F12}, and {{} and {}} for the braces); every other character is typed as it is.
std::vector<Tecla> interpreta(const QString &teclas);

// Presses and releases each key on the widget that has the focus when its turn comes, so a
// Tab moves the focus before the next key arrives.
void envia(const std::vector<Tecla> &teclas);

} // namespace Servicios::Teclas
