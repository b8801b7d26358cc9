#pragma once

#include "servicios/servicios.h"
#include "servicios/servicios_export.h"

namespace Servicios {

// CRM postings over the suite's tables. The text of a follow-up or an event comes from
// Fabrica's note capture (by default a small modal dialog over the active window).
class SERVICIOS_EXPORT ProcesosSql final : public Procesos
{
public:
    ProcesosSql(Entorno &entorno, Funciones &funciones);

    bool RegistraSeguimiento(const QString &entidad, const QString &clave, const QString &extra1,
                             const QString &extra2) override;
    bool RegistraEvento(const QString &entidad, const QString &clave, const QString &extra1,
                        const QString &extra2) override;
    // All or nothing, in one transaction on the shared connection (see CierreOportunidad).
    bool CierraOportunidad(const QString &folio, qint32 resultado, const QString &causa) override;
    QString UltimoError() override;

private:
    bool registraNota(TipoDeNota tipo, const QString &entidad, const QString &clave);
    bool exito();
    bool falla(const QString &motivo);

    Entorno &m_entorno;
    Funciones &m_funciones;
    QString m_ultimoError;
};

} // namespace Servicios
