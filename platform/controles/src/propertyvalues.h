#pragma once

#include <QColor>
#include <QLoggingCategory>
#include <QString>

namespace Kit {

Q_DECLARE_LOGGING_CATEGORY(logControles)

// Design-time switches are texts; only "SI" (any letter case) turns one on, so a form
// that leaves one unset or misspelt gets the quiet behaviour.
bool isYes(const QString &value);

// Raises 380 for a reference that is neither an RGB colour nor a system colour, so a bad
// value is refused before it changes the control.
qint32 checkedColor(qint32 reference);

// System colours resolve against the application's palette rather than the control's own,
// which the control itself repaints with resolved colours.
QColor resolvedColor(qint32 reference);

} // namespace Kit
