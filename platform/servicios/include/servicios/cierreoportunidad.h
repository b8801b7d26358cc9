#pragma once

#include "servicios/servicios_export.h"

#include <QString>

namespace Ado {
class Connection;
}

namespace Servicios {

class Funciones;

// Closes one opportunity inside a transaction the caller opened. The first statement
// updates the opportunity's row, so on a shared server a second user closing the same
// opportunity waits for the first to finish and then finds it closed.
class SERVICIOS_EXPORT CierreOportunidad final
{
public:
    CierreOportunidad(Ado::Connection &conexion, Funciones &funciones, QString operador);

    // "" when the opportunity was closed; otherwise why not (nothing was written that the
    // caller's rollback would not undo). Database failures raise.
    QString cierra(const QString &folio, qint32 resultado, const QString &causa);

private:
    QString marcaModificada(const QString &folio);
    QString motivoSinFila(const QString &folio);
    bool yaCerrada(const QString &folio);
    QString revisaResultado(const QString &folio, qint32 resultado, const QString &causa);
    bool causaVigente(const QString &causa);
    void insertaCierre(const QString &folio, qint32 resultado, const QString &causa);

    Ado::Connection &m_conexion;
    Funciones &m_funciones;
    QString m_operador;
    QString m_fecha;
};

} // namespace Servicios
