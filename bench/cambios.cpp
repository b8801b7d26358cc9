#include "cambios.h"

#include "medicion.h"
#include "piso.h"

#include <QDebug>

#include <algorithm>
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

namespace {

constexpr int pasoPrimo = 7919; // visits the folios in a scattered order

QString folioEsparcido(int vez, int filas)
{
    return folio(1 + int(qint64(vez) * pasoPrimo % filas));
}

} // namespace

Escritura cambioDeEstado(int filas)
{
    return [filas](ConexionPlana &conexion, int vez) { cambiaEstados(conexion, {folioEsparcido(vez, filas)}); };
}

Escritura notaDeSeguimiento(int filas)
{
    return [filas](ConexionPlana &conexion, int vez) {
        conexion.ejecuta(
            QStringLiteral("INSERT INTO Seguimiento (Sg_Entidad, Sg_Clave, Sg_Nota, Sg_Operador, Sg_Fecha) "
                           "VALUES ('OPORTUNIDAD', '%1', 'Llamada de seguimiento %2', 'BANCO', "
                           "'2026-12-07')")
                .arg(folioEsparcido(vez, filas))
                .arg(vez));
    };
}

Escritor::Escritor(const Ado::DatabaseAddress &direccion, int filas)
    : Escritor(direccion, std::chrono::seconds(1), cambioDeEstado(filas))
{ }

Escritor::Escritor(const Ado::DatabaseAddress &direccion, std::chrono::milliseconds periodo, Escritura escritura)
    : m_hilo([this, direccion, periodo, escritura = std::move(escritura)](std::stop_token alto) {
        escribe(std::move(alto), direccion, periodo, escritura);
    })
{ }

// Stopping waits for the commit in progress: no change lands after the measured window.
Escritor::~Escritor() = default;

// The connection is opened and closed in this thread, the only one that uses it. The
// commits keep to their schedule whatever each one takes, as a program that writes ten
// times a second does.
void Escritor::escribe(std::stop_token alto, Ado::DatabaseAddress direccion, std::chrono::milliseconds periodo,
                       Escritura escritura)
{
    try {
        ConexionPlana conexion(direccion);
        const auto inicio = std::chrono::steady_clock::now();
        for (int vez = 0; !alto.stop_requested(); ++vez) {
            escritura(conexion, vez);
            ++m_hechos;
            const auto siguiente = inicio + periodo * (vez + 1);
            pausa(alto, std::chrono::duration_cast<std::chrono::milliseconds>(std::max(
                            siguiente - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{})));
        }
    } catch (const std::exception &falla) {
        qWarning() << "el escritor se detuvo:" << falla.what();
    }
}

} // namespace Banco
