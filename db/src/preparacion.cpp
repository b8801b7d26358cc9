#include "datos/preparacion.h"

#include "configuracionminima.h"

#include "ado/connection.h"
#include "ado/transaction.h"
#include "datos/demo.h"
#include "datos/derechos.h"
#include "datos/esquema.h"
#include "datos/version.h"
#include "runtime/error.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/usuarios.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace Datos {
namespace {

constexpr int nivelQueVeTodo = 3;

void creaArchivoPrivado(const QString &ruta)
{
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::NewOnly)
        || !archivo.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        Runtime::raise(75, QStringLiteral("No se pudo crear la base de datos %1: %2").arg(ruta, archivo.errorString()));
}

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

struct Administrador
{
    QString operador;
    QString vendedor;
};

// The administrator as the rows loaded have it, or a new one with a salesperson who sees
// everything: an operator without a salesperson meets the salesperson's login first, and a
// new database has no salesperson with a password to give there.
Administrador aseguraAdministrador(Ado::Connection &conexion, const QString &codigo)
{
    {
        const Ado::Recordset fila = conexion.Execute(
            QStringLiteral(
                "SELECT Ope_Cve_Operador, Ope_Cve_Vendedor FROM Operador WHERE UPPER(Ope_Cve_Operador) = UPPER(?)"),
            {codigo});
        if (!fila.atEnd())
            return {fila.field(0).toString(), fila.field(1).toString()};
    }
    if (conexion.Execute(QStringLiteral("SELECT COUNT(*) FROM Vendedor WHERE Vn_Cve_Vendedor = ?"), {codigo})
            .field(0)
            .toInt()
        == 0)
        insertaFila(conexion, QStringLiteral("Vendedor"),
                    {codigo, QStringLiteral("Administrador"), nivelQueVeTodo, QVariant(), QStringLiteral("AC")});
    insertaFila(conexion, QStringLiteral("Operador"), {codigo, QStringLiteral("Administrador"), codigo});
    return {codigo, codigo};
}

QString comoEntra(Ado::Connection &conexion, const Administrador &administrador, const QString &rol)
{
    const QString entra = QStringLiteral("El operador %1 entra con la contraseña dada").arg(administrador.operador)
                          + (rol.isEmpty() ? QString()
                                           : QStringLiteral(", como el usuario «%1» del servidor").arg(rol));
    if (administrador.vendedor.isEmpty())
        return entra + QStringLiteral("; no tiene vendedor, así que el tablero le pide el acceso de uno.");
    const Ado::Recordset nivel = conexion.Execute(
        QStringLiteral("SELECT Vn_Nivel FROM Vendedor WHERE Vn_Cve_Vendedor = ?"), {administrador.vendedor});
    return entra
           + QStringLiteral("; su vendedor es %1, de nivel %2.")
                 .arg(administrador.vendedor, nivel.atEnd() ? QStringLiteral("?") : nivel.field(0).toString());
}

// Roles belong to the whole server and outlive a dropped database: a new database of the same
// name must not inherit them, nor the people who had them.
void rechazaSiHayRoles(Ado::Connection &conexion)
{
    const QStringList roles = rolesDeLaBase(conexion);
    if (!roles.isEmpty())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("El servidor ya tiene los usuarios de una base llamada %1 (%2): no se preparó "
                                      "ni se cambió nada. Bórrelos (DROP ROLE) o prepare una base de otro nombre")
                           .arg(conexion.address().database, roles.join(QStringLiteral(", "))));
}

// In capitals, as the suite's codes are: the salesperson's login types codes in capitals.
QString codigoDelAdministrador(const Preparacion &preparacion)
{
    const QString codigo = preparacion.administrador.trimmed().toUpper();
    if (codigo.isEmpty())
        Runtime::raise(Runtime::ErrorNumber::InvalidCall, QStringLiteral("Falta la clave del operador administrador"));
    return codigo;
}

QString contrasenaDelAdministrador(const Preparacion &preparacion)
{
    const QString clara = preparacion.contrasena ? preparacion.contrasena() : QString();
    Servicios::revisaContrasenaNueva(clara);
    return clara;
}

QString usuariosCreados(Ado::Connection &conexion)
{
    return QStringLiteral("Se crearon los usuarios del servidor de la base %1 (%2) y sus derechos: cada persona "
                          "entra como su propio usuario y el servidor decide qué puede leer y escribir.")
        .arg(conexion.address().database, rolesDeLaBase(conexion).join(QStringLiteral(", ")));
}

// A login role needs a code the server's role names take whole.
bool cabeEnUnRol(Ado::Connection &conexion, const QString &codigo)
{
    return !codigo.isEmpty() && std::all_of(codigo.cbegin(), codigo.cend(), [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'-';
    }) && Servicios::rolDeOperador(conexion.address().database, codigo).toUtf8().size() <= 63;
}

void exigeQueQuepaEnUnRol(Ado::Connection &conexion, const QString &codigo)
{
    if (!cabeEnUnRol(conexion, codigo))
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La clave %1 no sirve para un usuario del servidor: sólo letras, cifras, «_» y "
                                      "«-», y a lo más 63 bytes con el nombre de la base")
                           .arg(codigo));
}

QStringList prepara(Ado::Connection &conexion, const Preparacion &preparacion)
{
    const QString codigo = codigoDelAdministrador(preparacion);
    rechazaSiTieneTablas(conexion);
    const bool conRoles = conexion.engine() == Ado::Engine::PostgreSQL;
    if (conRoles) {
        rechazaSiHayRoles(conexion);
        exigeQueQuepaEnUnRol(conexion, codigo);
    }
    const QString clara = contrasenaDelAdministrador(preparacion);
    // On PostgreSQL the server keeps the administrator's password, on a SQLite file a hash does.
    const QString rol = conRoles ? Servicios::rolDeOperador(conexion.address().database, codigo) : QString();
    const QString credencial = conRoles ? conexion.passwordVerifier(rol, clara)
                                        : Servicios::HuellaDeContrasena::calcula(clara);

    QStringList hecho;
    Ado::Transaction transaccion(conexion);
    if (conRoles)
        creaRolesDeLaBase(conexion);
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
    const Administrador administrador = aseguraAdministrador(conexion, codigo);
    if (conRoles) {
        entregaAlDueno(conexion);
        instalaGestion(conexion);
        creaRolDeOperador(conexion, administrador.operador, credencial, true);
        hecho << usuariosCreados(conexion);
        aplicaDerechos(conexion);
        conexion.Execute(QStringLiteral("RESET ROLE"));
        sueltaLosRoles(conexion);
    } else {
        insertaFila(conexion, QStringLiteral("Operador_Contrasena"), {administrador.operador, credencial});
    }
    hecho << comoEntra(conexion, administrador, rol);
    transaccion.commit();
    return hecho;
}

QStringList convierte(Ado::Connection &conexion, const Preparacion &preparacion)
{
    const QString codigo = codigoDelAdministrador(preparacion);
    if (conexion.engine() != Ado::Engine::PostgreSQL)
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("Sólo una base PostgreSQL se convierte: un archivo SQLite es de una sola persona"));
    if (tablasDeLaSuite(conexion).isEmpty())
        Runtime::raise(
            Runtime::ErrorNumber::InvalidCall,
            QStringLiteral("La base de datos %1 no tiene las tablas de la suite: prepárela con --prepara-base")
                .arg(conexion.address().toDisplayString()));
    if (Servicios::derechosEnElServidor(conexion))
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La base de datos %1 ya está convertida: cada persona entra como su propio "
                                      "usuario. No se cambió nada")
                           .arg(conexion.address().toDisplayString()));
    rechazaSiHayRoles(conexion);
    exigeQueQuepaEnUnRol(conexion, codigo);
    actualizaEsquema(conexion);
    const QString clara = contrasenaDelAdministrador(preparacion);
    const QString credencial = conexion.passwordVerifier(Servicios::rolDeOperador(conexion.address().database, codigo),
                                                         clara);

    Ado::Transaction transaccion(conexion);
    creaRolesDeLaBase(conexion);
    const Administrador administrador = aseguraAdministrador(conexion, codigo);
    entregaAlDueno(conexion);
    instalaGestion(conexion);
    QStringList sinContrasena;
    QStringList sinUsuario;
    Ado::Recordset operadores = conexion.Execute(QStringLiteral("SELECT Ope_Cve_Operador FROM Operador ORDER BY 1"));
    QStringList codigos;
    for (; !operadores.atEnd(); operadores.moveNext())
        codigos << operadores.field(0).toString();
    operadores.close();
    for (const QString &operador : std::as_const(codigos)) {
        const bool esAdministrador = operador == administrador.operador;
        if (!cabeEnUnRol(conexion, operador)) {
            sinUsuario << operador;
            continue;
        }
        creaRolDeOperador(conexion, operador, esAdministrador ? credencial : QString(), esAdministrador);
        if (!esAdministrador)
            sinContrasena << operador;
    }
    QStringList hecho{usuariosCreados(conexion)};
    aplicaDerechos(conexion);
    conexion.Execute(QStringLiteral("RESET ROLE"));
    sueltaLosRoles(conexion);
    hecho << comoEntra(conexion, administrador, Servicios::rolDeOperador(conexion.address().database, codigo));
    if (!sinContrasena.isEmpty())
        hecho << QStringLiteral("Tienen usuario pero aún no contraseña, así que no entran hasta que un administrador "
                                "se la ponga (--pon-contrasena-operador): %1.")
                     .arg(sinContrasena.join(QStringLiteral(", ")));
    if (!sinUsuario.isEmpty())
        hecho << QStringLiteral("No tienen usuario del servidor, porque su clave no cabe en uno (sólo letras, cifras, "
                                "«_» y «-»): %1.")
                     .arg(sinUsuario.join(QStringLiteral(", ")));
    transaccion.commit();
    return hecho;
}

} // namespace

QStringList convierteBase(const Ado::DatabaseAddress &direccion, const Preparacion &preparacion)
{
    Ado::Connection conexion(direccion);
    return convierte(conexion, preparacion);
}

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
    // One person's database: the file is its owner's alone from the moment it exists.
    if (archivoNuevo)
        creaArchivoPrivado(destino.path);
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
