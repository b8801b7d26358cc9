#pragma once

#include "servicios/servicios.h"
#include "servicios/servicios_export.h"

namespace Servicios {

// Look-ups, stored queries, list filling, dates and the audit log over the suite's tables,
// reached through the environment's connection and operator.
class SERVICIOS_EXPORT FuncionesSql final : public Funciones
{
public:
    explicit FuncionesSql(Entorno &entorno);

    // Raises 5 when a table or column name is not a plain identifier.
    QString BuscaCampo(const QString &tabla, const QString &columnaClave, const QString &valorClave,
                       const QString &columnaResultado, qint32 reservado, const QString &extra1, const QString &extra2,
                       const QString &extra3) override;
    QString LeeConsulta(const QString &clave) override;
    // One column per result column, named as the database names it; one row per record.
    // The row's key is empty. A failed statement is shown to the user (critical, with the
    // database's reason), logged and kept in UltimaFalla(); the list keeps its rows when the
    // same statement filled it, and is emptied when another one did.
    bool LlenaLista(const QString &sql, Kit::ListView &lista, qint32 opciones) override;
    QString UltimaFalla() const override { return m_ultimaFalla; }
    QDateTime FechaActual() override;
    // Both date formats are "yyyy-MM-dd HH:mm:ss", which sorts as text in date order.
    QString FormatoFechaBaja(const QDateTime &fecha) override;
    QString FormatoFechaModificacion(const QDateTime &fecha) override;
    void RegistraBitacora(const QString &entidad, const QString &clave, const QString &accion) override;
    // The list's context menu (see MenuLista).
    void AccionLista(Kit::ListView &lista) override;
    QString VendedorDeOperador(const QString &operador) override;
    // "SISTEMA=<sistema>|<transaccion>", or "SISTEMA=<sistema>" when the host gave no
    // transaction text: the host reads the system before the '|' and passes the rest on.
    QString ArmaTransaccion(const QString &transaccionAnfitrion, const QString &sistema) override;
    // See Teclas: "\t" is Tab, "\r", "\n" and "{ENTER}" are Enter, "{TAB}", "{ESC}", "{F5}"...
    void EnviaTeclas(const QString &teclas, qint32 reservado) override;

private:
    void informaFallaDeLlenado(const QString &sql, Kit::ListView &lista);

    Entorno &m_entorno;
    QString m_ultimaFalla;
};

} // namespace Servicios
