#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace Publico {

// The error trap of a routine: runs its body; any failure becomes one message with the
// failure's description, style 16, the routine's name as title, the form as owner, the
// module code and the routine's own error identifier. Returns whether the body finished.
bool Atrapa(QWidget *formulario, const QString &rutina, const QString &idError, const std::function<void()> &cuerpo);

// Shows a trapped failure that was caught by the routine itself (a routine that must do
// something, such as a rollback, before it reports).
void ReportaFalla(QWidget *formulario, const QString &rutina, const QString &idError, std::exception_ptr falla);

// One step of a routine whose errors are ignored step by step: a failing step is skipped.
void IgnoraError(const std::function<void()> &paso);

} // namespace Publico
