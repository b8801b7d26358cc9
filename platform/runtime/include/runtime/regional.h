#pragma once

#include "runtime/runtime_export.h"

#include <QLocale>
#include <QString>

class QDate;
class QDateTime;

namespace Runtime {

// The suite's users read figures and dates as they are written in Mexico: "1,234.50",
// "$1,234.50", "31/12/2026". Screens and lists format through these, so a figure reads the
// same wherever it is shown.
RUNTIME_EXPORT const QLocale &mexicanLocale();

inline constexpr QStringView dateFormat = u"dd/MM/yyyy";
inline constexpr QStringView dateTimeFormat = u"dd/MM/yyyy HH:mm";

RUNTIME_EXPORT QString formatNumber(double value, int decimals);
RUNTIME_EXPORT QString formatInteger(qint64 value);
// The sign before the currency symbol ("-$1,234.50"), as cheques and spreadsheets write it,
// and no sign on an amount that rounds to zero.
RUNTIME_EXPORT QString formatAmount(double value);
RUNTIME_EXPORT QString formatDate(const QDate &date);
// The time of day only when there is one: midnight reads as the date alone; seconds only
// when they are not zero.
RUNTIME_EXPORT QString formatDateTime(const QDateTime &moment);

// The text as Spanish readers compare names, letter case, accents and surrounding blanks
// aside: "ESTADO", "Estádo " and "estado" read the same.
RUNTIME_EXPORT QString foldedForComparison(const QString &text);

} // namespace Runtime
