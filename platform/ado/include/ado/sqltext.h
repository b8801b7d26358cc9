#pragma once

#include "ado/ado_export.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace Ado {

// A value as it goes between single quotes in a statement: every quote doubled, so the
// value can never end the literal it stands in.
ADO_EXPORT QString quoted(const QString &value);

// The whole literal: the value quoted and between its single quotes.
ADO_EXPORT QString literal(const QString &value);

// Texts to bind to a statement's "?" where quoted literals would stand: each binds as text,
// an empty one as '' (a null QString on its own would bind as Null).
ADO_EXPORT QVariantList texts(const QStringList &values);

} // namespace Ado
