#include "esperadelservidor.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "runtime/conversions.h"

#include <QDebug>

#include <chrono>

namespace {

const QString variable = QStringLiteral("CRM_ESPERA_SERVIDOR");
constexpr double predeterminada = 10;
constexpr double maxima = 3600;

} // namespace

void aplicaEsperaDelServidor()
{
    QString guardada;
    try {
        const Ado::Recordset fila = Ado::Session::connection()->Execute(
            QStringLiteral("SELECT Va_Valor FROM Variable WHERE Va_Nombre = ?"), {variable});
        if (!fila.atEnd())
            guardada = Runtime::toTextOrEmpty(fila.field(0)).trimmed();
    } catch (...) {
        // a database without the table, or unreadable: the default
    }
    double segundos = predeterminada;
    if (!guardada.isEmpty()) {
        bool numero = false;
        const double leidos = guardada.toDouble(&numero);
        if (numero && leidos > 0 && leidos <= maxima)
            segundos = leidos;
        else
            qWarning().noquote() << QStringLiteral("La variable %1 («%2») no es un número de segundos entre 0 y %3; "
                                                   "se esperan %4 s al servidor")
                                        .arg(variable, guardada)
                                        .arg(maxima)
                                        .arg(predeterminada);
    }
    Ado::Connection::setWaitLimit(std::chrono::milliseconds(qint64(segundos * 1000)));
}
