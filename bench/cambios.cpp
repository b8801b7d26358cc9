#include "cambios.h"

#include "medicion.h"
#include "piso.h"

#include <QDebug>

#include <chrono>
#include <exception>

namespace Banco {

QString folio(int numero)
{
    return QStringLiteral("OP-%1").arg(numero, 6, 10, QLatin1Char('0'));
}

QStringList diezFolios(int filas)
{
    QStringList folios;
    for (int decimo = 0; decimo < 10; ++decimo)
        folios << folio(1 + int((2LL * decimo + 1) * filas / 20));
    return folios;
}

void cambiaEstados(ConexionPlana &conexion, const QStringList &folios)
{
    conexion.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Estado_Oportunidad = "
                                    "CASE WHEN Op_Estado_Oportunidad = 'NEG' THEN 'PRO' ELSE 'NEG' END "
                                    "WHERE Op_Folio IN ('%1')")
                         .arg(folios.join(QStringLiteral("', '"))));
}

Escritor::Escritor(const Ado::DatabaseAddress &direccion, int filas)
    : m_hilo([this, direccion, filas](std::stop_token alto) { escribe(std::move(alto), direccion, filas); })
{ }

// Stopping waits for the commit in progress: no change lands after the measured window.
Escritor::~Escritor() = default;

// The connection is opened and closed in this thread, the only one that uses it.
void Escritor::escribe(std::stop_token alto, Ado::DatabaseAddress direccion, int filas)
{
    constexpr int pasoPrimo = 7919; // visits the folios in a scattered order
    try {
        ConexionPlana conexion(direccion);
        for (int vez = 0; !alto.stop_requested(); ++vez) {
            cambiaEstados(conexion, {folio(1 + int(qint64(vez) * pasoPrimo % filas))});
            ++m_hechos;
            pausa(alto, std::chrono::seconds(1));
        }
    } catch (const std::exception &falla) {
        qWarning() << "el escritor se detuvo:" << falla.what();
    }
}

} // namespace Banco
