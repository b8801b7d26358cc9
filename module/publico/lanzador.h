#pragma once

#include <QString>

class QObject;

// Requests to the host to open the screen of another module: the host object's
// `transacciones`(module code, parameter string), reached by name when called.
namespace Lanzador {

inline const QString Contactos = QStringLiteral("KLD215");
inline const QString Organizaciones = QStringLiteral("KLD238");
inline const QString EditorOportunidades = QStringLiteral("KLD242");

inline const QString Consulta = QStringLiteral("CONSULTA");
inline const QString Consultar = QStringLiteral("CONSULTAR"); // the organisations screen's word
inline const QString Nuevo = QStringLiteral("NUEVO");
inline const QString Editar = QStringLiteral("EDITAR");

// "ACCION=" + action word
QString Parametros(const QString &accion);
// "ACCION=" + action word + "|DATO=" + key, the key as it is
QString Parametros(const QString &accion, const QString &dato);
// The won transaction's own form: "NUEVO=" + folio
QString ParametrosGanada(const QString &folio);

// Raises 91 without a host object and 438 when it has no `transacciones`.
void Lanza(QObject *padre, const QString &modulo, const QString &parametros);

} // namespace Lanzador
