#include "servicios/funcionessql.h"

#include "controles/listview.h"
#include "servicios/lecturalista.h"

#include "cargavisible.h"

#include "identificador.h"
#include "registro.h"
#include "teclas.h"

#include "servicios/menulista.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

namespace Servicios {
namespace {

const QString FormatoFecha = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

FuncionesSql::FuncionesSql(Entorno &entorno)
    : m_entorno(entorno)
{ }

QString FuncionesSql::BuscaCampo(const QString &tabla, const QString &columnaClave, const QString &valorClave,
                                 const QString &columnaResultado, qint32 /*reservado*/, const QString & /*extra1*/,
                                 const QString & /*extra2*/, const QString & /*extra3*/)
{
    exigeIdentificador(tabla);
    exigeIdentificador(columnaClave);
    exigeIdentificador(columnaResultado);
    const Ado::Recordset fila = m_entorno.Conexion()->Execute(
        QStringLiteral("SELECT ") + columnaResultado + QStringLiteral(" FROM ") + tabla + QStringLiteral(" WHERE ")
            + columnaClave + QStringLiteral(" = ?"),
        Ado::texts({valorClave}));
    return fila.atEnd() ? QString() : Runtime::toTextOrEmpty(fila.field(0));
}

QString FuncionesSql::LeeConsulta(const QString &clave)
{
    return BuscaCampo(QStringLiteral("Consulta"), QStringLiteral("Cs_Cve_Consulta"), clave, QStringLiteral("Cs_Sql"), 0,
                      {}, {}, {});
}

bool FuncionesSql::LlenaLista(const QString &sql, Kit::ListView &lista, qint32 /*opciones*/)
{
    try {
        std::optional<Kit::ListUpdate> lectura;
        CargaVisible visible(lista);
        {
            Ado::Recordset datos = m_entorno.Conexion()->Execute(sql);
            lectura = leeLista(datos, lista.snapshot(), {},
                               [&](int filas, const Kit::TextTable *leidas, const QStringList &encabezados) {
                                   visible.avanza(filas, leidas, encabezados);
                               });
        } // the snapshot is let go before the list changes, which then needs no copy of its rows
        aplicaLectura(lista, std::move(*lectura),
                      visible.mostroPrimeras() ? std::optional(visible.columnasNuevas()) : std::nullopt);
        lista.setSourceStatement(sql);
        m_ultimaFalla.clear();
        return true;
    } catch (...) {
        m_ultimaFalla = Runtime::toRuntimeError(std::current_exception()).description();
        qCWarning(logServicios).noquote()
            << "LlenaLista no pudo llenar la lista" << lista.objectName() << ":" << m_ultimaFalla;
        informaFallaDeLlenado(sql, lista);
        return false;
    }
}

// Rows of another statement must not pass for this one's: the list is emptied. Rows of the
// same statement stay, as the last good reading of what was asked for. Either way the user
// learns why the list could not be read.
void FuncionesSql::informaFallaDeLlenado(const QString &sql, Kit::ListView &lista)
{
    if (lista.sourceStatement() != sql) {
        lista.replaceContents({}, {});
        lista.setSourceStatement({});
    }
    try {
        m_entorno.Mensaje(QStringLiteral("No se pudo leer la lista.\n") + m_ultimaFalla, Estilo::Critico,
                          QStringLiteral("LlenaLista()"), lista.window(), QString(), QString());
    } catch (...) {
        // The failure is logged above; a message box that cannot show must not end the host.
    }
}

QDateTime FuncionesSql::FechaActual()
{
    return QDateTime::currentDateTime();
}

QString FuncionesSql::FormatoFechaBaja(const QDateTime &fecha)
{
    return fecha.toString(FormatoFecha);
}

QString FuncionesSql::FormatoFechaModificacion(const QDateTime &fecha)
{
    return fecha.toString(FormatoFecha);
}

void FuncionesSql::RegistraBitacora(const QString &entidad, const QString &clave, const QString &accion)
{
    m_entorno.Conexion()->Execute(
        QStringLiteral("INSERT INTO Bitacora (Bi_Entidad, Bi_Clave, Bi_Accion, Bi_Operador, Bi_Fecha) "
                       "VALUES (?, ?, ?, ?, ?)"),
        Ado::texts({entidad, clave, accion, m_entorno.Operador(), FormatoFechaModificacion(FechaActual())}));
}

void FuncionesSql::AccionLista(Kit::ListView &lista)
{
    MenuLista(lista).abre();
}

QString FuncionesSql::VendedorDeOperador(const QString &operador)
{
    return BuscaCampo(QStringLiteral("Operador"), QStringLiteral("Ope_Cve_Operador"), operador,
                      QStringLiteral("Ope_Cve_Vendedor"), 0, {}, {}, {});
}

QString FuncionesSql::ArmaTransaccion(const QString &transaccionAnfitrion, const QString &sistema)
{
    QString descriptor = QStringLiteral("SISTEMA=") + sistema;
    if (!transaccionAnfitrion.isEmpty())
        descriptor += QLatin1Char('|') + transaccionAnfitrion;
    return descriptor;
}

void FuncionesSql::EnviaTeclas(const QString &teclas, qint32 /*reservado*/)
{
    Teclas::envia(Teclas::interpreta(teclas));
}

} // namespace Servicios
