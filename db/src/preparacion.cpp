#include "datos/preparacion.h"

#include "configuracionminima.h"

#include "ado/connection.h"
#include "ado/transaction.h"
#include "datos/demo.h"
#include "datos/esquema.h"
#include "datos/version.h"
#include "runtime/error.h"
#include "servicios/contrasenaoperador.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace Datos {
namespace {

constexpr int nivelQueVeTodo = 3;

void rechazaSiTieneTablas(Ado::Connection &conexion)
{
    const QStringList halladas = tablasDeLaSuite(conexion);
    if (!halladas.isEmpty())
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("La base de datos %1 ya tiene tablas de la suite (%2): no se preparó ni se cambió "
                           "nada. Para preparar una base, indique una vacía")
                .arg(conexion.address().toDisplayString(), halladas.join(QStringLiteral(", "))));
}

QString cargaConfiguracionMinima(Ado::Connection &conexion)
{
    const ConfiguracionMinima configuracion = configuracionMinima();
    insertaConfiguracion(conexion, configuracion);
    QStringList variables;
    for (const VariableDeLaSuite &variable : configuracion.variables)
        variables << variable.nombre;
    return QStringLiteral(
               "Se cargó la configuración inicial: %1 estados con sus colores, %2 causas de pérdida, la vista "
               "TODOS y las variables %3.")
        .arg(configuracion.estados.size())
        .arg(configuracion.causas.size())
        .arg(variables.join(QStringLiteral(", ")));
}

// The administrator as the rows loaded have it, or a new one with a salesperson who sees
// everything: an operator without a salesperson meets the salesperson's login first, and a
// new database has no salesperson with a password to give there.
QString aseguraAdministrador(Ado::Connection &conexion, const QString &codigo, const QString &huella)
{
    QString operador = codigo;
    QString vendedor = codigo;
    bool existe = false;
    {
        const Ado::Recordset fila = conexion.Execute(
            QStringLiteral(
                "SELECT Ope_Cve_Operador, Ope_Cve_Vendedor FROM Operador WHERE UPPER(Ope_Cve_Operador) = UPPER(?)"),
            {codigo});
        if (!fila.atEnd()) {
            existe = true;
            operador = fila.field(0).toString();
            vendedor = fila.field(1).toString();
        }
    }
    if (!existe) {
        if (conexion.Execute(QStringLiteral("SELECT COUNT(*) FROM Vendedor WHERE Vn_Cve_Vendedor = ?"), {vendedor})
                .field(0)
                .toInt()
            == 0)
            insertaFila(conexion, QStringLiteral("Vendedor"),
                        {vendedor, QStringLiteral("Administrador"), nivelQueVeTodo, QVariant(), QStringLiteral("AC")});
        insertaFila(conexion, QStringLiteral("Operador"), {operador, QStringLiteral("Administrador"), vendedor});
    }
    insertaFila(conexion, QStringLiteral("Operador_Contrasena"), {operador, huella});
    if (vendedor.isEmpty())
        return QStringLiteral(
                   "El operador %1 entra con la contraseña dada; no tiene vendedor, así que el tablero le pide "
                   "el acceso de uno.")
            .arg(operador);
    const Ado::Recordset nivel = conexion.Execute(
        QStringLiteral("SELECT Vn_Nivel FROM Vendedor WHERE Vn_Cve_Vendedor = ?"), {vendedor});
    return QStringLiteral("El operador %1 entra con la contraseña dada; su vendedor es %2, de nivel %3.")
        .arg(operador, vendedor, nivel.atEnd() ? QStringLiteral("?") : nivel.field(0).toString());
}

QStringList prepara(Ado::Connection &conexion, const Preparacion &preparacion)
{
    // In capitals, as the suite's codes are: the salesperson's login types codes in capitals.
    const QString administrador = preparacion.administrador.trimmed().toUpper();
    if (administrador.isEmpty())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall, QStringLiteral("Falta la clave del operador administrador"));
    rechazaSiTieneTablas(conexion);
    const QString clara = preparacion.contrasena ? preparacion.contrasena() : QString();
    Servicios::revisaContrasenaNueva(clara);
    const QString huella = Servicios::HuellaDeContrasena::calcula(clara);

    QStringList hecho;
    Ado::Transaction transaccion(conexion);
    creaTablas(conexion);
    hecho << QStringLiteral("Se crearon las tablas de la suite, en la versión %1 del esquema, en %2.")
                 .arg(versionDelPrograma())
                 .arg(conexion.address().toDisplayString());
    if (preparacion.demo) {
        agregaDemo(conexion, preparacion.oportunidadesDemo);
        hecho << QStringLiteral("Se cargaron los datos de demostración, con %1 oportunidades.")
                     .arg(preparacion.oportunidadesDemo);
    } else {
        hecho << cargaConfiguracionMinima(conexion);
    }
    hecho << aseguraAdministrador(conexion, administrador, huella);
    transaccion.commit();
    return hecho;
}

} // namespace

QStringList tablasDeLaSuite(Ado::Connection &conexion)
{
    QVariantList nombres;
    for (const QString &tabla : tablasDelEsquema())
        nombres << tabla.toLower();
    const QString marcas = QStringList(nombres.size(), QStringLiteral("?")).join(QStringLiteral(", "));
    const QString consulta = conexion.engine() == Ado::Engine::SQLite
                                 ? QStringLiteral(
                                     "SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) IN (%1) "
                                     "ORDER BY name")
                                 : QStringLiteral("SELECT table_name FROM information_schema.tables "
                                                  "WHERE table_schema = current_schema() AND lower(table_name) IN (%1) "
                                                  "ORDER BY table_name");
    Ado::Recordset filas = conexion.Execute(consulta.arg(marcas), nombres);
    QStringList halladas;
    for (; !filas.atEnd(); filas.moveNext())
        halladas << filas.field(0).toString();
    return halladas;
}

QStringList preparaBase(const Ado::DatabaseAddress &direccion, const Preparacion &preparacion)
{
    Ado::DatabaseAddress destino = direccion;
    destino.mustExist = false; // the one command that may make the file
    const bool archivoNuevo = destino.engine == Ado::Engine::SQLite && !QFileInfo::exists(destino.path);
    auto borraElArchivoNuevo = qScopeGuard([&] {
        if (archivoNuevo)
            QFile::remove(destino.path);
    });
    QStringList hecho;
    {
        Ado::Connection conexion(destino);
        hecho = prepara(conexion, preparacion);
    }
    borraElArchivoNuevo.dismiss();
    return hecho;
}

} // namespace Datos
