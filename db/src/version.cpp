#include "datos/version.h"

#include "contrasenasvendedor.h"
#include "recursos.h"

#include "datos/derechos.h"

#include "ado/connection.h"
#include "ado/transaction.h"
#include "runtime/error.h"
#include "servicios/usuarios.h"

#include <QString>
#include <QStringList>

namespace Datos {
namespace {

// One step of the schema: statements the same for both engines, then what only PostgreSQL
// runs (a resource holding one text), then whatever moves the rows over.
struct Paso
{
    QStringList sentencias;
    QString soloPostgresql = {};
    void (*traslada)(Ado::Connection &) = nullptr;
};

// Each entry takes a database from the version of its index plus one to the next. A step
// that changes a table must leave its rows readable by the older program's statements
// where it can: a column is added, never renamed.
const QList<Paso> &pasos()
{
    static const QList<Paso> lista = {
        // 1 → 2: the version itself.
        {.sentencias = {QStringLiteral("CREATE TABLE Version_Esquema (Ve_Version INTEGER NOT NULL)"),
                        QStringLiteral("INSERT INTO Version_Esquema (Ve_Version) VALUES (1)")}},
        // 2 → 3: operators sign in with a password of their own, kept as a hash. A table of
        // its own rather than a column, so the suite's other programs, which may insert
        // into Operador without naming its columns, go on working.
        {.sentencias = {QStringLiteral(
             "CREATE TABLE Operador_Contrasena (Oc_Cve_Operador TEXT PRIMARY KEY, Oc_Huella TEXT NOT NULL)")}},
        // 3 → 4: salespeople's passwords become hashes that nobody reads back, checked where
        // they are kept (see servicios/contrasenavendedor.h); Vn_Password stays, empty, for the
        // suite's programs that name it. A hash that is Null asks for a new password.
        {.sentencias = {QStringLiteral("CREATE TABLE Vendedor_Contrasena (Vc_Cve_Vendedor TEXT PRIMARY KEY, "
                                       "Vc_Huella TEXT, Vc_Fallos INTEGER NOT NULL DEFAULT 0)")},
         .soloPostgresql = QStringLiteral(":/datos/vendedores_postgresql.sql"),
         .traslada = &trasladaContrasenasDeVendedores},
        // 4 → 5: each write notes its table (and the folios of Oportunidad), so a board asks
        // only about the tables its view reads. SQLite keeps one change count per file.
        {.sentencias = {}, .soloPostgresql = QStringLiteral(":/datos/cambios_postgresql.sql")},
        // 5 → 6: the boards' change question as a function whose plan the server keeps.
        {.sentencias = {}, .soloPostgresql = QStringLiteral(":/datos/pregunta_postgresql.sql")},
        // 6 → 7: one board rings the others when their tables change, so idle ones need not ask.
        {.sentencias = {}, .soloPostgresql = QStringLiteral(":/datos/timbre_postgresql.sql")},
    };
    return lista;
}

void aplicaPaso(Ado::Connection &conexion, const Paso &paso)
{
    for (const QString &sentencia : paso.sentencias)
        conexion.Execute(sentencia);
    if (!paso.soloPostgresql.isEmpty() && conexion.engine() == Ado::Engine::PostgreSQL)
        conexion.Execute(textoDelRecurso(paso.soloPostgresql));
    if (paso.traslada)
        paso.traslada(conexion);
}

bool tieneTablaDeVersion(Ado::Connection &conexion)
{
    const QString consulta = conexion.engine() == Ado::Engine::SQLite
                                 ? QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' "
                                                  "AND lower(name) = 'version_esquema'")
                                 : QStringLiteral(
                                     "SELECT COUNT(*) FROM information_schema.tables "
                                     "WHERE table_schema = current_schema() AND table_name = 'version_esquema' "
                                     "AND table_type = 'BASE TABLE'");
    return conexion.Execute(consulta).field(0).toInt() > 0;
}

// Two hosts that find the same old version must not both upgrade: the second waits for the
// first's commit and then finds nothing to do. SQLite takes its write lock only at the first
// write, so an empty one is made before the version is read again.
void tomaElCerrojoDeActualizacion(Ado::Connection &conexion)
{
    if (conexion.engine() == Ado::Engine::PostgreSQL)
        conexion.Execute(QStringLiteral("SELECT pg_advisory_xact_lock(251251)"));
    else
        conexion.Execute(QStringLiteral("DELETE FROM Variable WHERE 1 = 0"));
}

[[noreturn]] void rechazaBaseNueva(int version)
{
    Runtime::raise(
        Runtime::ErrorNumber::InvalidCall,
        QStringLiteral("La base de datos es de la versión %1 del esquema y este programa sólo conoce hasta la "
                       "%2: instale una versión más reciente de Teqvaro para abrirla")
            .arg(version)
            .arg(versionDelPrograma()));
}

[[noreturn]] void pideAlAdministrador(const Ado::DatabaseAddress &direccion, int version)
{
    Ado::DatabaseAddress paraActualizar = direccion;
    paraActualizar.user.clear();
    paraActualizar.readOnly = false;
    Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                   QStringLiteral("La base de datos está en la versión %1 del esquema y este programa usa la %2: "
                                  "un administrador debe actualizarla, abriendo Teqvaro o con «teqvaro --bd %3 "
                                  "--operador SU_CLAVE --actualiza-esquema». Hasta entonces no se puede abrir%4")
                       .arg(version)
                       .arg(versionDelPrograma())
                       .arg(paraActualizar.toDisplayString(),
                            direccion.readOnly ? QStringLiteral(" con una dirección de sólo lectura") : QString()));
}

} // namespace

void aplicaPasosDesde(Ado::Connection &conexion, int desde, int hasta)
{
    for (int version = desde; version < hasta; ++version)
        aplicaPaso(conexion, pasos().at(version - 1));
    if (hasta > 1)
        conexion.Execute(QStringLiteral("UPDATE Version_Esquema SET Ve_Version = ?"), {hasta});
}

QStringList sentenciasDeLosPasos()
{
    QStringList todas;
    for (const Paso &paso : pasos())
        todas << paso.sentencias;
    return todas;
}

int versionDelPrograma()
{
    return int(pasos().size()) + 1;
}

int versionDeLaBase(Ado::Connection &conexion)
{
    if (!tieneTablaDeVersion(conexion))
        return 1;
    const Ado::Recordset fila = conexion.Execute(QStringLiteral("SELECT MAX(Ve_Version) FROM Version_Esquema"));
    return fila.atEnd() || fila.field(0).isNull() ? 1 : fila.field(0).toInt();
}

void actualizaEsquema(Ado::Connection &conexion)
{
    const int leida = versionDeLaBase(conexion);
    if (leida > versionDelPrograma())
        rechazaBaseNueva(leida);
    if (leida == versionDelPrograma())
        return;
    // Where the server keeps the rights, only an administrator changes the schema, acting as
    // the tables' owner; a user is told whom to ask rather than failing on the first write.
    // An address that opens the database only for reading cannot change it either.
    if (conexion.address().readOnly)
        pideAlAdministrador(conexion.address(), leida);
    const bool conDerechos = Servicios::derechosEnElServidor(conexion);
    if (conDerechos && !puedeActuarComoDueno(conexion))
        pideAlAdministrador(conexion.address(), leida);
    Ado::Transaction transaccion(conexion);
    if (conDerechos)
        actuaComoDueno(conexion);
    tomaElCerrojoDeActualizacion(conexion);
    const int actual = versionDeLaBase(conexion);
    if (actual > versionDelPrograma())
        rechazaBaseNueva(actual);
    if (actual < versionDelPrograma())
        aplicaPasosDesde(conexion, actual, versionDelPrograma());
    if (conDerechos)
        aplicaDerechos(conexion);
    transaccion.commit();
}

} // namespace Datos
