#pragma once

#include "ado/databaseaddress.h"

#include <QString>

#include <functional>

// The session's first connection, made before any window: when the server is down or cannot
// be reached, the user reads which server and why in plain words (the driver's own text, in
// English and for an administrator, goes only to the details and the log) and chooses to try
// the same address again or to leave.
namespace ConexionInicial {

enum class Respuesta { Reintentar, Salir };

// Asks what to do about a failed connection: `mensaje` says it in plain words, `detalle` is
// the driver's own text.
using Pregunta = std::function<Respuesta(const QString &mensaje, const QString &detalle)>;

// Thrown when the user chose to leave: the program ends with a failure and says nothing more,
// since the user has just read why.
struct Abandonada
{ };

// Why the connection failed, in plain words, from the driver's (or the server's) text; a
// general sentence for a cause it does not recognise.
QString motivo(const QString &textoDelControlador);

// What the user reads: the server's address as shown (never its password) and the reason.
QString mensaje(const Ado::DatabaseAddress &direccion, const QString &textoDelControlador);

// A failure to reach a PostgreSQL database as the connection raises it, in the same plain words:
// the address it names and the reason. Any other description comes back as it is.
QString enPalabrasLlanas(const QString &descripcion);

// A box with "Reintentar" and "Salir", the driver's text in its details.
Respuesta preguntaAlUsuario(const QString &mensaje, const QString &detalle);

// Nobody is there to answer: the message goes to the log (and standard error) and the run ends.
Respuesta sinPantalla(const QString &mensaje, const QString &detalle);

// Runs `conecta` until it reaches the PostgreSQL server of `direccion`, asking after each
// failure; throws Abandonada when the user chose to leave. Another failure (or any failure on
// SQLite, which has no server to wait for) goes up as it came.
void conecta(const Ado::DatabaseAddress &direccion, const std::function<void()> &conectaAlServidor,
             const Pregunta &pregunta);

} // namespace ConexionInicial
