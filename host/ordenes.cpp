#include "ordenes.h"

#include "conexioninicial.h"
#include "ingreso.h"
#include "iniciosesion.h"
#include "lecturacontrasena.h"
#include "opciones.h"

#include "ado/session.h"
#include "ado/signin.h"
#include "datos/preparacion.h"
#include "datos/version.h"
#include "runtime/error.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/usuarios.h"

#include <QDebug>
#include <QTextStream>

namespace {

// A command on a PostgreSQL database runs as whoever gives it: their own login role, named by
// --operador when the address names no user. A password the client library does not find
// (PGPASSWORD, ~/.pgpass) is asked on the terminal.
Ado::DatabaseAddress firmaLaOrden(Ado::DatabaseAddress direccion, const QString &operador)
{
    if (direccion.engine != Ado::Engine::PostgreSQL)
        return direccion;
    if (direccion.user.isEmpty() && !operador.isEmpty())
        direccion.user = Servicios::rolDeOperador(direccion.database, operador);
    Ado::SignIn respuesta = Ado::trySignIn(direccion);
    if (respuesta == Ado::SignIn::PasswordNeeded) {
        const QString quien = direccion.user.isEmpty() ? qEnvironmentVariable("USER") : direccion.user;
        const std::optional<QString> escrita = leeContrasenaDeQuienEjecuta(quien);
        if (!escrita)
            Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                           QStringLiteral("Falta la contraseña de %1: escríbala en una terminal o guárdela en "
                                          "~/.pgpass o en PGPASSWORD")
                               .arg(quien));
        direccion.password = *escrita;
        respuesta = Ado::trySignIn(direccion);
    }
    if (respuesta != Ado::SignIn::Accepted)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall, Ingreso::rechazo());
    return direccion;
}

int poneContrasena(const QString &vendedor)
{
    Servicios::ponContrasena(vendedor, leeContrasenaNueva(QStringLiteral("del vendedor ") + vendedor));
    qInfo().noquote() << "Se cambió la contraseña del vendedor" << vendedor;
    return 0;
}

int poneContrasenaOperador(const QString &operador)
{
    Servicios::ponContrasenaOperador(operador, leeContrasenaNueva(QStringLiteral("del operador ") + operador));
    qInfo().noquote() << "Se cambió la contraseña del operador" << operador;
    return 0;
}

void exigeUsuariosPorPersona()
{
    if (!Servicios::derechosEnElServidor(*Ado::Session::connection()))
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La base de datos %1 no tiene un usuario por persona: conviértala antes con "
                                      "teqvaro %2")
                           .arg(Ado::Session::address().toDisplayString(), Opcion::escrita(Opcion::convierteBase)));
}

int daDeAlta(const Opciones &opciones)
{
    exigeUsuariosPorPersona();
    const QString rol = Servicios::altaDeOperador(
        *Ado::Session::connection(),
        {opciones.altaOperador, opciones.nombre, opciones.vendedor, opciones.administrador,
         leeContrasenaNueva(QStringLiteral("del operador nuevo ") + opciones.altaOperador.toUpper())});
    QTextStream(stdout) << QStringLiteral("Se dio de alta al operador %1: entra como el usuario «%2» del servidor.")
                               .arg(opciones.altaOperador, rol)
                        << Qt::endl;
    return 0;
}

int daDeBaja(const Opciones &opciones)
{
    exigeUsuariosPorPersona();
    Servicios::bajaDeOperador(*Ado::Session::connection(), opciones.bajaOperador);
    QTextStream(stdout) << QStringLiteral("Se dio de baja al operador %1: su usuario del servidor ya no existe.")
                               .arg(opciones.bajaOperador)
                        << Qt::endl;
    return 0;
}

} // namespace

// Nothing is asked before the database is known to be empty (or, to convert it, shared): a
// refused one costs no typing.
int preparaBase(const QString &url, const Opciones &opciones,
                QStringList (*prepara)(const Ado::DatabaseAddress &, const Datos::Preparacion &))
{
    const Ado::DatabaseAddress direccion = Ado::DatabaseAddress::parse(url);
    if (const QString aviso = direccion.passwordWarning(); !aviso.isEmpty())
        qWarning().noquote() << aviso;
    Datos::Preparacion preparacion;
    if (!opciones.operador.isEmpty())
        preparacion.administrador = opciones.operador;
    preparacion.demo = opciones.demo;
    preparacion.contrasena = [administrador = preparacion.administrador] {
        return leeContrasenaNueva(QStringLiteral("del operador administrador ") + administrador.toUpper());
    };
    QTextStream salida(stdout);
    for (const QString &linea : prepara(direccion, preparacion))
        salida << linea << Qt::endl;
    return 0;
}

// The commands that act on the session's database as whoever gives them, and end.
int ejecutaOrdenSobreLaBase(const Opciones &opciones)
{
    // Nobody answers a box here: a server that cannot be reached is said in plain words, and the command ends.
    const Ado::DatabaseAddress direccion = direccionDeLaSesion(opciones);
    Ado::DatabaseAddress firmada;
    ConexionInicial::conecta(
        direccion, [&] { firmada = firmaLaOrden(direccion, opciones.operador); }, &ConexionInicial::sinPantalla);
    abreLaSesion(firmada, &ConexionInicial::sinPantalla);
    if (!opciones.vendedorContrasena.isEmpty())
        return poneContrasena(opciones.vendedorContrasena);
    if (!opciones.operadorContrasena.isEmpty())
        return poneContrasenaOperador(opciones.operadorContrasena);
    if (!opciones.altaOperador.isEmpty())
        return daDeAlta(opciones);
    if (!opciones.bajaOperador.isEmpty())
        return daDeBaja(opciones);
    QTextStream(stdout) << QStringLiteral("La base de datos %1 está en la versión %2 del esquema.")
                               .arg(Ado::Session::address().toDisplayString())
                               .arg(Datos::versionDeLaBase(*Ado::Session::connection()))
                        << Qt::endl;
    return 0;
}

bool esOrdenSobreLaBase(const Opciones &opciones)
{
    return !opciones.vendedorContrasena.isEmpty() || !opciones.operadorContrasena.isEmpty()
           || !opciones.altaOperador.isEmpty() || !opciones.bajaOperador.isEmpty() || opciones.actualizaEsquema;
}
