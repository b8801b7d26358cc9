// teqvaro: the suite's host shell. It opens the session's database (by default the demo
// SQLite database, created on first use), loads a module by its registration name, obtains
// its screen and shows it with a host object of its own as the screen's `Padre`.
#include "anfitrion.h"
#include "bitacora.h"
#include "opciones.h"

#include "ado/session.h"
#include "datos/demo.h"
#include "runtime/componentregistry.h"
#include "runtime/error.h"
#include "runtime/conversions.h"
#include "runtime/latebinding.h"
#include "servicios/cifrado.h"
#include "servicios/servicios.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <memory>

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

// Drawing to a file, registering a library and setting a password need no display.
bool trabajaSinPantalla(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *opcion : {"--screenshot", "--registra", "--desregistra", "--pon-contrasena", "--mide-arranque"}) {
            const size_t largo = std::strlen(opcion);
            if (std::strncmp(argv[i], opcion, largo) == 0 && (argv[i][largo] == '\0' || argv[i][largo] == '='))
                return true;
        }
    }
    return false;
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

void abreBaseDeDatos(const Opciones &opciones)
{
    QString url = opciones.baseDeDatos;
    if (url.isEmpty()) {
        if (Datos::aseguraBaseDemo(Opciones::archivoDemo()))
            qInfo().noquote() << "Se creó la base de demostración" << Opciones::archivoDemo();
        url = QStringLiteral("sqlite:") + Opciones::archivoDemo();
    }
    Ado::Session::configure(Ado::DatabaseAddress::parse(url));
    Ado::Session::connection(); // a database that cannot be reached is reported now, not on the first click
    Servicios::estableceOperador(opciones.operador);
}

int poneContrasena(const QString &vendedor)
{
    QTextStream entrada(stdin);
    const QString clara = entrada.readLine();
    Servicios::ponContrasena(vendedor, clara);
    qInfo().noquote() << "Se cambió la contraseña del vendedor" << vendedor;
    return salidaCorrecta;
}

// What the user sees: the screen, and a dialog it opened drawn centred over it.
QImage vistaDePantalla(QWidget *pantalla)
{
    QImage imagen = pantalla->grab().toImage();
    QWidget *dialogo = QApplication::activeModalWidget();
    if (dialogo && dialogo != pantalla) {
        const QImage encima = dialogo->grab().toImage();
        QPainter pintor(&imagen);
        pintor.drawImage((imagen.width() - encima.width()) / 2, (imagen.height() - encima.height()) / 2, encima);
    }
    return imagen;
}

// Writes the screen to a PNG once it has been shown, activated and filled.
void programaCaptura(QWidget *pantalla, const QString &archivo)
{
    QTimer::singleShot(600, pantalla, [pantalla, archivo] {
        const bool guardada = vistaDePantalla(pantalla).save(archivo, "PNG");
        if (!guardada)
            qCritical().noquote() << "No se pudo guardar la captura en" << archivo;
        QApplication::exit(guardada ? salidaCorrecta : salidaConError);
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

    abreBaseDeDatos(opciones);
    if (!opciones.vendedorContrasena.isEmpty())
        return poneContrasena(opciones.vendedorContrasena);

    Runtime::ComponentLoader cargador;
    const std::unique_ptr<QObject> modulo = cargador.createObject(opciones.modulo);
    qInfo().noquote() << "Módulo" << opciones.modulo << "de la familia"
                      << Runtime::toText(Runtime::readMember(modulo.get(), "Modulo"));
    auto *pantalla = qobject_cast<QWidget *>(Runtime::readMember(modulo.get(), "GetPantalla").value<QObject *>());
    if (!pantalla)
        Runtime::raise(Runtime::ErrorNumber::ObjectNotSet,
                       QStringLiteral("El módulo %1 no entregó su pantalla").arg(opciones.modulo));

    Anfitrion anfitrion(opciones.operador);
    anfitrion.setPantalla(pantalla);
    pantalla->setProperty("Padre", QVariant::fromValue<QObject *>(&anfitrion));
    pantalla->resize(1100, 640);
    pantalla->show();
    pantalla->activateWindow();
    if (!opciones.captura.isEmpty())
        programaCaptura(pantalla, opciones.captura);
    if (opciones.mideArranque)
        new MedidorDeArranque(pantalla); // owned by the screen
    return QApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    Arranque::reloj().start();
    if (trabajaSinPantalla(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    QApplication::setApplicationName(QStringLiteral("teqvaro"));
    QApplication::setOrganizationName(QStringLiteral("Teqvaro"));
    Bitacora::instala();

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
        if (opciones.captura.isEmpty() && opciones.registra.isEmpty() && opciones.vendedorContrasena.isEmpty())
            QMessageBox::critical(nullptr, QStringLiteral("Teqvaro"), error.description());
        return salidaConError;
    }
}
