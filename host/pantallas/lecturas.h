#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// Reading the suite's tables for the host's screens, on the session's shared connection.
// Every failure of the database raises a runtime error with its Spanish description.
namespace Pantallas {

// The first row's fields named in `campos`, as text ("" for Null); nothing when the query
// finds no row. `valores` bind to the statement's "?" in order.
std::optional<QStringList> primerRenglon(const QString &sql, const QStringList &campos, const QVariantList &valores);
// The same fields as the database gave them: Null stays apart from "".
std::optional<QVariantList> primerRenglonTal(const QString &sql, const QStringList &campos,
                                             const QVariantList &valores);

// A key and what the user reads for it.
struct Opcion
{
    QString clave;
    QString descripcion;
};

// The first two columns of every row, as keys and descriptions; `valores` bind to the
// statement's "?" in order.
QList<Opcion> opciones(const QString &sql, const QVariantList &valores = {});

} // namespace Pantallas
