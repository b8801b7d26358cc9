#pragma once

#include "runtime/runtime_export.h"

#include <QVariant>
#include <QVariantList>

class QObject;

namespace Runtime {

// Members of another component reached by name at call time, as the host's object is.
// An unset object raises 91; a member the object does not have raises 438.

RUNTIME_EXPORT QVariant readMember(const QObject *object, const char *name);

// Calls a slot or invokable method by name with arguments converted to its parameter
// types; returns its result, or an invalid variant for a method without one.
RUNTIME_EXPORT QVariant callMember(QObject *object, const char *name, const QVariantList &arguments = {});

} // namespace Runtime
