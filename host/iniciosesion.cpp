#include "iniciosesion.h"

#include "dialogoingreso.h"
#include "ingreso.h"

#include "opciones.h"

#include "ado/session.h"
#include "ado/signin.h"
#include "datos/demo.h"
#include "datos/diario.h"
#include "datos/version.h"
#include "runtime/error.h"
#include "servicios/usuarios.h"

#include <QDebug>

#include <QTextStream>

namespace {

const QString operadorDeLaDemostracion = QStringLiteral("GERENTE");

QString codigoPropuesto(const PeticionDeIngreso &peticion)
{
    if (peticion.codigo.isEmpty() && peticion.demo)
        return operadorDeLaDemostracion;
    return peticion.codigo;
}

QString sinPantalla(const QString &codigo, Ingreso &ingreso)
{
    QTextStream entrada(stdin);
    const std::optional<QString> operador = ingreso.entra(codigo, entrada.readLine());
    if (!operador)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("No se pudo iniciar la sesión del operador «%1»: %2 Sin pantalla, la contraseña "
                                      "se lee de la primera línea de la entrada estándar.")
                           .arg(codigo, Ingreso::rechazo()));
    return *operador;
}

} // namespace

std::optional<QString> iniciaSesion(const PeticionDeIngreso &peticion, Ingreso &ingreso)
{
    const QString codigo = codigoPropuesto(peticion);
    if (!codigo.isEmpty() && ingreso.entraSinContrasena(codigo))
        return ingreso.entra(codigo, QString());
    if (peticion.sinPantalla)
        return sinPantalla(codigo, ingreso);
    DialogoIngreso dialogo(ingreso, codigo);
    if (dialogo.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialogo.operador();
}

// The session's database as the command line names it: by default the demo's, made on first use.
Ado::DatabaseAddress direccionDeLaSesion(const Opciones &opciones)
{
    QString url = opciones.baseDeDatos;
    if (url.isEmpty()) {
        if (Datos::aseguraBaseDemo(Opciones::archivoDemo()))
            qInfo().noquote() << "Se creó la base de demostración" << Opciones::archivoDemo();
        url = QStringLiteral("sqlite:") + Opciones::archivoDemo();
    }
    const Ado::DatabaseAddress direccion = Ado::DatabaseAddress::parse(url);
    if (const QString aviso = direccion.passwordWarning(); !aviso.isEmpty())
        qWarning().noquote() << aviso; // to the log and standard error
    return direccion;
}

// The hot standby the command line names for the board's automatic readings, which follows
// the session's PostgreSQL server; none when it names none. The board signs in there with the
// session's own user and password.
std::optional<Ado::DatabaseAddress> direccionDeLectura(const Opciones &opciones, const Ado::DatabaseAddress &sesion)
{
    if (opciones.baseDeLectura.isEmpty())
        return std::nullopt;
    const Ado::DatabaseAddress direccion = Ado::DatabaseAddress::parse(opciones.baseDeLectura);
    if (direccion.engine != Ado::Engine::PostgreSQL || sesion.engine != Ado::Engine::PostgreSQL)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("%1 nombra una réplica de un servidor PostgreSQL, y la base de la sesión (%2) "
                                      "debe estar en ese servidor")
                           .arg(Opcion::escrita(Opcion::baseDeLectura), sesion.toDisplayString()));
    if (const QString aviso = direccion.passwordWarning(); !aviso.isEmpty())
        qWarning().noquote() << aviso;
    return direccion;
}

// A database that cannot be reached, or is newer than this program, is reported now and not
// on the first click; an older one is brought up to date before anything reads it.
void abreLaSesion(const Ado::DatabaseAddress &direccion, const ConexionInicial::Pregunta &pregunta)
{
    Ado::Session::configure(direccion);
    ConexionInicial::conecta(
        direccion, [] { Ado::Session::connection(); }, pregunta);
    Datos::usaDiarioAnticipado(*Ado::Session::connection());
    Datos::actualizaEsquema(*Ado::Session::connection());
}

// The operator signed in, as the database spells the code; nothing when the user gave up. On
// a PostgreSQL server that keeps the rights, a person signs in by connecting as themselves:
// with the code and password they type, or as the user the address names.
std::optional<QString> iniciaLaSesion(const Opciones &opciones)
{
    const Ado::DatabaseAddress direccion = direccionDeLaSesion(opciones);
    Ado::Session::configureStandby(direccionDeLectura(opciones, direccion));
    const bool sinDialogo = opciones.sinPantalla() || opciones.contrasenaPorEntrada;
    const ConexionInicial::Pregunta pregunta = opciones.sinPantalla() ? &ConexionInicial::sinPantalla
                                                                      : &ConexionInicial::preguntaAlUsuario;
    if (direccion.engine == Ado::Engine::PostgreSQL && direccion.user.isEmpty()) {
        // Whoever signs in, the server must answer first: any answer to the user running the
        // program (even a refusal) says it is there.
        ConexionInicial::conecta(
            direccion, [&direccion] { Ado::trySignIn(direccion); }, pregunta);
        // The server may answer a stranger and still refuse an operator it knows: a database
        // it does not have is said only after a good password.
        Ingreso ingreso = Ingreso::porServidor(direccion);
        std::optional<QString> operador;
        ConexionInicial::conecta(
            direccion,
            [&] {
                operador = iniciaSesion({opciones.operador, false, sinDialogo}, ingreso);
            },
            pregunta);
        if (operador)
            Datos::actualizaEsquema(*Ado::Session::connection());
        return operador;
    }
    abreLaSesion(direccion, pregunta);
    if (std::optional<QString> propio = Servicios::operadorDeLaSesion(*Ado::Session::connection()))
        return propio;
    if (Servicios::derechosEnElServidor(*Ado::Session::connection()))
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("El usuario %1 del servidor no es un operador de la base %2: para entrar con la "
                                      "clave de un operador, quite el usuario de la dirección")
                           .arg(direccion.user, direccion.database));
    const bool demo = esBaseDeDemostracion(Opciones::archivoDemo());
    Ingreso ingreso(demo);
    return iniciaSesion({opciones.operador, demo, sinDialogo}, ingreso);
}
