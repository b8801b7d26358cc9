#include "icono.h"

// The resources of a static library are linked only when something names them.
static void cargaRecursos()
{
    Q_INIT_RESOURCE(anfitrion);
}

QIcon iconoDeTeqvaro()
{
    cargaRecursos();
    return QIcon(QStringLiteral(":/anfitrion/teqvaro.svg"));
}
