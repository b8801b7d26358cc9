#pragma once

#include <QMap>
#include <QString>

// The parameter text with which a module asks the host for another module's screen:
// "KEY=value" pairs joined by '|', as in "ACCION=CONSULTA|DATO=C001" or "NUEVO=OP-000012".
//
// Each pair splits at its first '=', so a value may itself hold '=' ("DATO=A=B" reads DATO as
// "A=B"); a pair without '=' is a key with an empty value. Keys are trimmed and upper-cased,
// values kept exactly as written. Empty pairs (a doubled or trailing '|') and pairs without a
// key ("=x") are skipped; a key given twice keeps its last value.
//
// DATO is the last pair the modules send, and its value is a record's key exactly as stored,
// '|' included: DATO takes the rest of the text ("ACCION=EDITAR|DATO=A|B" reads DATO as "A|B").
QMap<QString, QString> leeParametros(const QString &parametros);
