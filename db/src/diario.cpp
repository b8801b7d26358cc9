#include "datos/diario.h"

#include "ado/connection.h"
#include "runtime/error.h"

#include <QDebug>

namespace Datos {

bool usaDiarioAnticipado(Ado::Connection &conexion)
{
    if (conexion.engine() != Ado::Engine::SQLite)
        return false;
    QString modo;
    try {
        modo = conexion.Execute(QStringLiteral("PRAGMA journal_mode = WAL")).field(0).toString();
    } catch (const Runtime::RuntimeError &falla) {
        modo = falla.description();
    }
    if (modo.compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)
        return true;
    qInfo().noquote() << "La base" << conexion.address().toDisplayString()
                      << "sigue sin diario anticipado (WAL): una lectura larga puede demorar a quien escribe." << modo;
    return false;
}

} // namespace Datos
