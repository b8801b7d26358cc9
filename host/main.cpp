// teqvaro: the suite's host shell. It opens the session's database (by default the demo
// SQLite database, created on first use), loads a module by its registration name, obtains
// its screen and shows it in the main window with a host object of its own as the screen's
// `Padre`.
#include "anfitrion.h"
#include "bitacora.h"
#include "captura.h"
#include "icono.h"
#include "ingreso.h"
#include "iniciosesion.h"
#include "lecturacontrasena.h"
#include "mensajessinpantalla.h"
#include "modulos.h"
#include "opciones.h"
#include "traducciones.h"
#include "ventanaprincipal.h"

#include "ado/session.h"
#include "ado/signin.h"
#include "datos/demo.h"
#include "datos/preparacion.h"
#include "datos/version.h"
#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/servicios.h"
#include "servicios/usuarios.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int salidaCorrecta = 0;

namespace Arranque {
QElapsedTimer &reloj()
{
    static QElapsedTimer desdeElInicio;
    return desdeElInicio;
}
} // namespace Arranque
constexpr int salidaConError = 1;

// Drawing to a file, registering a library, setting a password and preparing a database
// need no display.
bool trabajaSinPantalla(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *opcion : {"--screenshot", "--registra", "--desregistra", "--pon-contrasena",
                                   "--pon-contrasena-operador", "--prepara-base", "--demo", "--mide-arranque",
                                   "--convierte-base", "--alta-operador", "--baja-operador", "--actualiza-esquema"}) {
            const size_t largo = std::strlen(opcion);
            if (std::strncmp(argv[i], opcion, largo) == 0 && (argv[i][largo] == '\0' || argv[i][largo] == '='))
                return true;
        }
    }
    return false;
}

void nombraAplicacion()
{
    QCoreApplication::setApplicationName(QStringLiteral("teqvaro"));
    QCoreApplication::setOrganizationName(QStringLiteral("Teqvaro"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TEQVARO_VERSION));
}

QStringList argumentos(int argc, char **argv)
{
    QStringList leidos;
    for (int i = 0; i < argc; ++i)
        leidos << QString::fromLocal8Bit(argv[i]);
    return leidos;
}

// Help and the version are printed without a window system, so they work anywhere.
int respondeTexto(int argc, char **argv)
{
    QCoreApplication consola(argc, argv);
    instalaTraducciones(consola);
    QTextStream(stdout) << Opciones::texto(QCoreApplication::arguments());
    return salidaCorrecta;
}

int registraBiblioteca(const QString &biblioteca, bool registrar)
{
    const long resultado = registrar ? Runtime::ComponentLoader::registerLibrary(biblioteca)
                                     : Runtime::ComponentLoader::unregisterLibrary(biblioteca);
    if (resultado != Runtime::ResultCode::Ok) {
        qCritical().noquote() << "No se pudo" << (registrar ? "registrar" : "quitar del registro") << biblioteca;
        return salidaConError;
    }
    qInfo().noquote() << (registrar ? "Registrado:" : "Quitado del registro:") << biblioteca;
    return salidaCorrecta;
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

// A database that cannot be reached, or is newer than this program, is reported now and not
// on the first click; an older one is brought up to date before anything reads it.
void abreLaSesion(const Ado::DatabaseAddress &direccion)
{
    Ado::Session::configure(direccion);
    Datos::actualizaEsquema(*Ado::Session::connection());
}

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
    Servicios::ponContrasena(vendedor, leeContrasenaNueva());
    qInfo().noquote() << "Se cambió la contraseña del vendedor" << vendedor;
    return salidaCorrecta;
}

int poneContrasenaOperador(const QString &operador)
{
    Servicios::ponContrasenaOperador(operador, leeContrasenaNueva());
    qInfo().noquote() << "Se cambió la contraseña del operador" << operador;
    return salidaCorrecta;
}

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
    preparacion.contrasena = [] { return leeContrasenaNueva(); };
    QTextStream salida(stdout);
    for (const QString &linea : prepara(direccion, preparacion))
        salida << linea << Qt::endl;
    return salidaCorrecta;
}

void exigeUsuariosPorPersona()
{
    if (!Servicios::derechosEnElServidor(*Ado::Session::connection()))
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("La base de datos %1 no tiene un usuario por persona: conviértala antes con "
                                      "teqvaro --convierte-base")
                           .arg(Ado::Session::address().toDisplayString()));
}

int daDeAlta(const Opciones &opciones)
{
    exigeUsuariosPorPersona();
    const QString rol = Servicios::altaDeOperador(
        *Ado::Session::connection(),
        {opciones.altaOperador, opciones.nombre, opciones.vendedor, opciones.administrador, leeContrasenaNueva()});
    QTextStream(stdout) << QStringLiteral("Se dio de alta al operador %1: entra como el usuario «%2» del servidor.")
                               .arg(opciones.altaOperador, rol)
                        << Qt::endl;
    return salidaCorrecta;
}

int daDeBaja(const Opciones &opciones)
{
    exigeUsuariosPorPersona();
    Servicios::bajaDeOperador(*Ado::Session::connection(), opciones.bajaOperador);
    QTextStream(stdout) << QStringLiteral("Se dio de baja al operador %1: su usuario del servidor ya no existe.")
                               .arg(opciones.bajaOperador)
                        << Qt::endl;
    return salidaCorrecta;
}

// The commands that act on the session's database as whoever gives them, and end.
int ejecutaOrdenSobreLaBase(const Opciones &opciones)
{
    abreLaSesion(firmaLaOrden(direccionDeLaSesion(opciones), opciones.operador));
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
    return salidaCorrecta;
}

bool esOrdenSobreLaBase(const Opciones &opciones)
{
    return !opciones.vendedorContrasena.isEmpty() || !opciones.operadorContrasena.isEmpty()
           || !opciones.altaOperador.isEmpty() || !opciones.bajaOperador.isEmpty() || opciones.actualizaEsquema;
}

// A command that ends once done, with its outcome on standard error: nobody is there to
// answer a message box.
bool esOrdenDeConsola(const Opciones &opciones)
{
    return !opciones.registra.isEmpty() || !opciones.desregistra.isEmpty() || !opciones.preparaBase.isEmpty()
           || !opciones.convierteBase.isEmpty() || esOrdenSobreLaBase(opciones);
}

bool sinPantalla(const Opciones &opciones)
{
    return !opciones.captura.isEmpty() || opciones.mideArranque;
}

// The operator signed in, as the database spells the code; nothing when the user gave up. On
// a PostgreSQL server that keeps the rights, a person signs in by connecting as themselves:
// with the code and password they type, or as the user the address names.
std::optional<QString> iniciaLaSesion(const Opciones &opciones)
{
    const Ado::DatabaseAddress direccion = direccionDeLaSesion(opciones);
    const bool sinDialogo = sinPantalla(opciones) || opciones.contrasenaPorEntrada;
    if (direccion.engine == Ado::Engine::PostgreSQL && direccion.user.isEmpty()) {
        Ingreso ingreso = Ingreso::porServidor(direccion);
        std::optional<QString> operador = iniciaSesion({opciones.operador, false, sinDialogo}, ingreso);
        if (operador)
            Datos::actualizaEsquema(*Ado::Session::connection());
        return operador;
    }
    abreLaSesion(direccion);
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

// Writes the window to a PNG once it has been shown, activated and filled.
void programaCaptura(VentanaPrincipal &ventana, const QString &archivo, int espera)
{
    QTimer::singleShot(espera, &ventana, [&ventana, archivo] {
        QApplication::exit(Captura::guarda(ventana, archivo) ? salidaCorrecta : salidaConError);
    });
}

// Reports the time from the start of the process to the first paint of the screen with
// its list filled, then ends.
class MedidorDeArranque final : public QObject
{
public:
    explicit MedidorDeArranque(QWidget *pantalla)
        : QObject(pantalla)
        , m_pantalla(pantalla)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override
    {
        if (evento->type() == QEvent::Paint && !m_medido && observado->isWidgetType()
            && static_cast<QWidget *>(observado)->window() == m_pantalla && listaLlena()) {
            m_medido = true;
            QTimer::singleShot(0, m_pantalla, [] {
                QTextStream(stdout) << "pintado " << Arranque::reloj().elapsed() << " ms" << Qt::endl;
                QApplication::exit(salidaCorrecta);
            });
        }
        return QObject::eventFilter(observado, evento);
    }

private:
    bool listaLlena() const
    {
        const auto *lista = m_pantalla->findChild<QAbstractItemView *>();
        return lista && lista->model() && lista->model()->rowCount() > 0;
    }

    QWidget *m_pantalla;
    bool m_medido = false;
};

int ejecuta(const Opciones &opciones)
{
    if (!opciones.registra.isEmpty())
        return registraBiblioteca(opciones.registra, true);
    if (!opciones.desregistra.isEmpty())
        return registraBiblioteca(opciones.desregistra, false);
    if (!opciones.preparaBase.isEmpty())
        return preparaBase(opciones.preparaBase, opciones, &Datos::preparaBase);
    if (!opciones.convierteBase.isEmpty())
        return preparaBase(opciones.convierteBase, opciones, &Datos::convierteBase);
    if (esOrdenSobreLaBase(opciones))
        return ejecutaOrdenSobreLaBase(opciones);

    const std::optional<QString> operador = iniciaLaSesion(opciones);
    if (!operador)
        return salidaCorrecta;
    Servicios::estableceOperador(*operador);

    Modulos modulos;
    VentanaPrincipal ventana(modulos, *operador);
    std::optional<MensajesSinPantalla> mensajes;
    if (sinPantalla(opciones))
        mensajes.emplace(ventana, opciones.captura);
    ventana.abreModulo(opciones.modulo);
    qInfo().noquote() << "Módulo" << opciones.modulo << "de la familia" << modulos.familia(opciones.modulo);
    ventana.show();
    ventana.activateWindow();
    // A screen asked for on the command line opens once the module's screen has loaded.
    constexpr int esperaDeLaPantalla = 300;
    constexpr int esperaDeLaCaptura = 600;
    if (!opciones.abreModulo.isEmpty()) {
        QTimer::singleShot(esperaDeLaPantalla, &ventana, [&ventana, &opciones] {
            ventana.anfitrion()->transacciones(opciones.abreModulo, opciones.abreParametros);
        });
    }
    if (!opciones.captura.isEmpty())
        programaCaptura(ventana, opciones.captura,
                        esperaDeLaCaptura + (opciones.abreModulo.isEmpty() ? 0 : esperaDeLaPantalla));
    if (opciones.mideArranque)
        new MedidorDeArranque(&ventana);     // owned by the window
    if (mensajes && mensajes->huboMensaje()) // a message while the screen loaded, before any event loop ran
        return salidaConError;
    return QApplication::exec();
}

// Without a display the window is drawn on a desktop-sized screen of its own, so a capture
// shows it at the size it opens with on a desk, not squeezed into the offscreen platform's
// small default screen. The file must outlive the application's start.
std::unique_ptr<QTemporaryFile> usaPantallaVirtual()
{
    auto configuracion = std::make_unique<QTemporaryFile>(QDir::tempPath()
                                                          + QStringLiteral("/teqvaro-pantalla-XXXXXX.json"));
    if (!configuracion->open()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return nullptr;
    }
    configuracion->write(
        R"({"screens": [{"name": "virtual", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1}]})");
    configuracion->flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(configuracion->fileName()));
    return configuracion;
}

} // namespace

int main(int argc, char **argv)
{
    Arranque::reloj().start();
    nombraAplicacion();
    if (Opciones::pideTexto(argumentos(argc, argv)))
        return respondeTexto(argc, argv);
    std::unique_ptr<QTemporaryFile> pantallaVirtual;
    if (trabajaSinPantalla(argc, argv))
        pantallaVirtual = usaPantallaVirtual();
    QApplication aplicacion(argc, argv);
    Bitacora::instala();
    instalaTraducciones(aplicacion);
    QGuiApplication::setWindowIcon(iconoDeTeqvaro()); // the sign-in dialog comes before the main window

    const Opciones opciones = Opciones::lee(QApplication::arguments());
    if (!opciones.errores.isEmpty()) {
        qCritical().noquote() << opciones.errores.join(QLatin1Char('\n'));
        return salidaConError;
    }
    try {
        return ejecuta(opciones);
    } catch (...) {
        const Runtime::RuntimeError error = Runtime::toRuntimeError(std::current_exception());
        qCritical().noquote() << error.description();
        if (!sinPantalla(opciones) && !esOrdenDeConsola(opciones))
            QMessageBox::critical(nullptr, QStringLiteral("Teqvaro"), error.description());
        return salidaConError;
    }
}
