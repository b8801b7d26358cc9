#include "atrapa.h"

#include "publico.h"
#include "runtime/error.h"
#include "runtime/log.h"

namespace Publico {

void ReportaFalla(QWidget *formulario, const QString &rutina, const QString &idError, std::exception_ptr falla)
{
    const Runtime::RuntimeError error = Runtime::toRuntimeError(falla);
    try {
        if (!Entorno)
            Runtime::raise(Runtime::ErrorNumber::ObjectNotSet);
        Mensaje(error.description(), Servicios::Estilo::Critico, rutina, formulario, Modulo, idError);
    } catch (...) {
        // The message itself failed: the failure is still recorded, and the host goes on.
        Runtime::logUntrappedFailure(rutina.toUtf8().constData(), falla);
    }
}

bool Atrapa(QWidget *formulario, const QString &rutina, const QString &idError, const std::function<void()> &cuerpo)
{
    try {
        cuerpo();
        return true;
    } catch (...) {
        ReportaFalla(formulario, rutina, idError, std::current_exception());
        return false;
    }
}

void IgnoraError(const std::function<void()> &paso)
{
    try {
        paso();
    } catch (...) {
        // Errors of this step are ignored by design; the routine goes on with the next one.
    }
}

} // namespace Publico
