// teqvaro: the suite's host shell. It opens the session's database (by default the demo
// SQLite database, created on first use), loads a module by its registration name, obtains
// its screen and shows it in the main window with a host object of its own as the screen's
// `Padre`.
#include "anfitrion.h"
#include "bitacora.h"
#include "captura.h"
#include "conexioninicial.h"
#include "esperadelservidor.h"
#include "icono.h"
#include "iniciosesion.h"
#include "mensajessinpantalla.h"
#include "modulos.h"
#include "opciones.h"
#include "ordenes.h"
#include "traducciones.h"
#include "ventanaprincipal.h"

#include "ado/session.h"
#include "controles/listview.h"
#include "datos/preparacion.h"
#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "servicios/servicios.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

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
bool trabajaSinPantalla(const QStringList &argumentos)
{
    const QLatin1StringView sinPantalla[] = {
        Opcion::captura,      Opcion::registra,           Opcion::desregistra,
        Opcion::contrasena,   Opcion::contrasenaOperador, Opcion::preparaBase,
        Opcion::demo,         Opcion::mideArranque,       Opcion::convierteBase,
        Opcion::altaOperador, Opcion::bajaOperador,       Opcion::actualizaEsquema};
    for (const QString &argumento : argumentos.mid(1)) {
        for (const QLatin1StringView opcion : sinPantalla) {
            const QString escrita = Opcion::escrita(opcion);
            if (argumento == escrita || argumento.startsWith(escrita + QLatin1Char('=')))
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

// A command that ends once done, with its outcome on standard error: nobody is there to
// answer a message box.
bool esOrdenDeConsola(const Opciones &opciones)
{
    return !opciones.registra.isEmpty() || !opciones.desregistra.isEmpty() || !opciones.preparaBase.isEmpty()
           || !opciones.convierteBase.isEmpty() || esOrdenSobreLaBase(opciones);
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
    aplicaEsperaDelServidor();
    // Each database keeps its own layouts of the lists: a view of the demo's is not the team's.
    Kit::ListView::setLayoutScope(Ado::Session::address().toDisplayString());

    Modulos modulos;
    VentanaPrincipal ventana(modulos, *operador);
    std::optional<MensajesSinPantalla> mensajes;
    if (opciones.sinPantalla())
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
    const QStringList dados = argumentos(argc, argv);
    if (Opciones::pideTexto(dados))
        return respondeTexto(argc, argv);
    std::unique_ptr<QTemporaryFile> pantallaVirtual;
    if (trabajaSinPantalla(dados))
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
    } catch (const ConexionInicial::Abandonada &) {
        return salidaConError; // the user has just read why
    } catch (...) {
        const Runtime::RuntimeError error = Runtime::toRuntimeError(std::current_exception());
        qCritical().noquote() << error.description();
        if (!opciones.sinPantalla() && !esOrdenDeConsola(opciones))
            QMessageBox::critical(nullptr, QStringLiteral("Teqvaro"), error.description());
        return salidaConError;
    }
}
