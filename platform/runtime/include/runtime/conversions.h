#pragma once

#include "runtime/runtime_export.h"

#include <QString>
#include <QVariant>

namespace Runtime {

// Conversions with the rules the forms' code was written against: numbers round half to
// even, overflow raises 6, text that is not a number raises 13, Null raises 94.
// Text may be decimal, or hexadecimal after "&H", or octal after "&O"; blanks around it
// are allowed. A hexadecimal or octal value that fits the target's width unsigned is read
// as that width's two's complement ("&HFFFF" is -1 as a 16-bit integer).

RUNTIME_EXPORT bool isEmpty(const QVariant &value);
RUNTIME_EXPORT bool isNull(const QVariant &value);

// A Null value of no particular type, as a database returns for a missing value.
RUNTIME_EXPORT QVariant nullValue();

RUNTIME_EXPORT qint16 toInteger16(const QVariant &value);
RUNTIME_EXPORT qint32 toInteger32(const QVariant &value);

// A colour reference (0x00BBGGRR) follows the 32-bit rules.
RUNTIME_EXPORT qint32 toColorReference(const QVariant &value);

// Text of a value: Empty gives "", Null raises 94, numbers in their shortest form.
RUNTIME_EXPORT QString toText(const QVariant &value);

// Text of a value where a missing value simply means no text (Null gives "").
RUNTIME_EXPORT QString toTextOrEmpty(const QVariant &value);

// Whether a text holds a number under the rules above.
RUNTIME_EXPORT bool textIsNumeric(const QString &text);

} // namespace Runtime
