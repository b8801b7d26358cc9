#pragma once

#include <QIcon>

// Teqvaro's own icon (packaging/teqvaro.svg, the one the desktop entry shows), compiled into
// the program so every window carries it, installed or not.
QIcon iconoDeTeqvaro();
