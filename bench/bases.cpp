#include "bases.h"

#include "medicion.h"
#include "piso.h"

#include "ado/connection.h"
#include "datos/demo.h"
#include "datos/esquema.h"
#include "datos/preparacion.h"
#include "servicios/usuarios.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <stdexcept>

namespace Banco {
namespace {

// The file's name carries the schema's fingerprint: a schema that changed gets a new file
// instead of rows the board can no longer read.
QString archivoEnCache(int filas)
{
    const QByteArray esquema = Datos::sentenciasDelEsquema().join(QLatin1Char('\n')).toUtf8();
    const QByteArray huella = QCryptographicHash::hash(esquema, QCryptographicHash::Sha1).toHex().left(10);
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
           + QStringLiteral("/teqvaro-bench/bench-%1-%2.db").arg(filas).arg(QString::fromLatin1(huella));
}

// Five million rows take the better part of an hour on a busy machine: no figure for that
// long is no hang.
QString aseguraCache(int filas)
{
    QString archivo = archivoEnCache(filas);
    const SinVigilancia generando;
    if (!QFileInfo::exists(archivo) && !Datos::aseguraBaseDemo(archivo, filas))
        throw std::runtime_error(("No se pudo guardar " + archivo).toStdString());
    return archivo;
}

// The runs change rows; the cached file stays as generated.
Ado::DatabaseAddress copiaDeTrabajo(int filas, const QString &carpeta)
{
    Ado::DatabaseAddress direccion;
    direccion.engine = Ado::Engine::SQLite;
    direccion.path = QDir(carpeta).filePath(QStringLiteral("bench-%1.db").arg(filas));
    QFile::remove(direccion.path);
    if (!QFile::copy(aseguraCache(filas), direccion.path))
        throw std::runtime_error(("No se pudo copiar la base a " + direccion.path).toStdString());
    QFile(direccion.path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return direccion;
}

// Roles outlive a schema: the people and groups an earlier conversion made for this
// database go, with what they own, so every size starts as one shared account's database
// and can be converted again.
void olvidaRolesDeLaBase(Ado::Connection &conexion)
{
    conexion.Execute(QStringLiteral(R"(DO $$
DECLARE rol TEXT;
BEGIN
    FOR rol IN SELECT quote_ident(rolname) FROM pg_roles
               WHERE left(rolname, length(current_database()) + 1)
                     IN (current_database() || '.', current_database() || ':') LOOP
        EXECUTE format('REASSIGN OWNED BY %s TO CURRENT_USER', rol);
        EXECUTE format('DROP OWNED BY %s', rol);
        EXECUTE format('DROP ROLE %s', rol);
    END LOOP;
END $$)"));
}

// The notes of changes a team's database keeps: those of the last ten minutes or so (older
// ones are taken away), here ten minutes of a program writing ten times a second. The
// generated rows' own notes, one per opportunity, would otherwise stay for the first
// minutes of the database, longer than any run, and every board's question would read past
// them.
void notasDeUnEquipo(Ado::Connection &conexion)
{
    conexion.Execute(QStringLiteral("DELETE FROM Cambio"));
    conexion.Execute(QStringLiteral("UPDATE Cambio_Horizonte SET Ch_Borrado = pg_snapshot_xmin(pg_current_snapshot()), "
                                    "Ch_Siguiente = pg_snapshot_xmin(pg_current_snapshot()), Ch_Hora = now()"));
    conexion.Execute(
        QStringLiteral("INSERT INTO Cambio (Ca_Tabla) SELECT 'seguimiento' FROM generate_series(1, 6000)"));
}

Ado::DatabaseAddress esquemaNuevo(const QString &destino, int filas)
{
    Ado::DatabaseAddress direccion = Ado::DatabaseAddress::parse(destino);
    Ado::Connection conexion(direccion);
    conexion.Execute(QStringLiteral("SET client_min_messages = warning"));
    olvidaRolesDeLaBase(conexion);
    conexion.Execute(QStringLiteral("DROP SCHEMA IF EXISTS public CASCADE"));
    conexion.Execute(QStringLiteral("CREATE SCHEMA public"));
    Datos::creaEsquema(conexion);
    Datos::cargaDemo(conexion, filas);
    notasDeUnEquipo(conexion);
    conexion.Execute(QStringLiteral("ANALYZE"));
    return direccion;
}

} // namespace

void ponTicsEntreRefrescos(const Ado::DatabaseAddress &direccion, int tics)
{
    ConexionPlana conexion(direccion);
    conexion.ejecuta(QStringLiteral("DELETE FROM Variable WHERE Va_Nombre = 'CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES'"));
    conexion.ejecuta(
        QStringLiteral("INSERT INTO Variable VALUES ('CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES', '%1')").arg(tics));
}

Base preparaBase(const QString &destino, const QString &carpeta, int filas)
{
    Base base;
    if (destino == QLatin1String("sqlite")) {
        base.motor = QStringLiteral("sqlite");
        base.direccion = copiaDeTrabajo(filas, carpeta);
    } else {
        base.motor = QStringLiteral("postgresql");
        base.direccion = esquemaNuevo(destino, filas);
    }
    ponTicsEntreRefrescos(base.direccion, ticsEntreRefrescosDeLasBases);
    return base;
}

Ado::DatabaseAddress convierteConDerechos(const Base &base, const QString &operador, const QString &contrasena)
{
    Datos::convierteBase(base.direccion, {.administrador = operador, .contrasena = [&] { return contrasena; }});
    Ado::DatabaseAddress persona = base.direccion;
    persona.user = Servicios::rolDeOperador(persona.database, operador);
    persona.password = contrasena;
    return persona;
}

QString duenoDeLasTablas(const Base &base)
{
    return base.direccion.database + QStringLiteral(":dueno");
}

} // namespace Banco
