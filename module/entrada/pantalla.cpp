#include "pantalla.h"

#include "frmKLD251.h"
#include "runtime/log.h"

#include <memory>

namespace {

int objetosVivos = 0;

// The module's single board. It lives while any Pantalla does: the host keeps its Pantalla
// for as long as it shows the board, and the board goes before the host's application.
std::unique_ptr<frmKLD251> &tablero()
{
    static std::unique_ptr<frmKLD251> instancia;
    return instancia;
}

} // namespace

Pantalla::Pantalla()
{
    ++objetosVivos;
}

Pantalla::~Pantalla()
{
    if (--objetosVivos == 0)
        tablero().reset();
}

QVariant Pantalla::GetPantalla() const
{
    try {
        if (!tablero())
            tablero() = std::make_unique<frmKLD251>();
        return QVariant::fromValue<QObject *>(tablero().get());
    } catch (...) {
        Runtime::logUntrappedFailure("GetPantalla", std::current_exception());
        return QVariant::fromValue<QObject *>(nullptr);
    }
}

QVariant Pantalla::Modulo() const
{
    return QStringLiteral("CRM");
}

int Pantalla::ObjetosVivos()
{
    return objetosVivos;
}
