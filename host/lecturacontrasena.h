#pragma once

#include <QString>

#include <cstdio>

// Reads a new password for the set-up commands. From a terminal it asks twice without
// echoing what is typed and raises when the two differ; from a pipe or a file it takes the
// first line. It does not judge the password: the service that stores it does.
QString leeContrasenaNueva(std::FILE *entrada = stdin, std::FILE *avisos = stderr);
