#pragma once

#include <QString>

#include <cstdio>
#include <optional>

// Reads a new password for the set-up commands. From a terminal it asks twice without
// echoing what is typed and raises when the two differ; from a pipe or a file it takes the
// first line. It does not judge the password: the service that stores it does. `deQuien`
// says whose it is in the question ("del vendedor V001").
QString leeContrasenaNueva(const QString &deQuien, std::FILE *entrada = stdin, std::FILE *avisos = stderr);

// Reads, once and without echo, the password of whoever runs a command, from a terminal;
// nothing when standard input is no terminal (a script gives it in PGPASSWORD or ~/.pgpass).
std::optional<QString> leeContrasenaDeQuienEjecuta(const QString &usuario, std::FILE *entrada = stdin,
                                                   std::FILE *avisos = stderr);
