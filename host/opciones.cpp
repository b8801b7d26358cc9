#include "opciones.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStandardPaths>

namespace {

QCommandLineOption oculta(QCommandLineOption opcion)
{
    opcion.setFlags(QCommandLineOption::HiddenFromHelp);
    return opcion;
}

// The options the host understands, and the parser that reads them.
struct LineaDeOrdenes
{
    LineaDeOrdenes()
    {
        parser.setApplicationDescription(QStringLiteral("Teqvaro: el anfitrión de los módulos de la suite"));
        parser.addOptions({ayuda,
                           version,
                           baseDeDatos,
                           operador,
                           modulo,
                           captura,
                           registra,
                           desregistra,
                           contrasena,
                           contrasenaOperador,
                           preparaBase,
                           demo,
                           convierteBase,
                           altaOperador,
                           nombre,
                           vendedor,
                           administrador,
                           bajaOperador,
                           actualizaEsquema,
                           arranque,
                           contrasenaPorEntrada,
                           abre});
    }

    QCommandLineParser parser;
    const QCommandLineOption ayuda{{QStringLiteral("h"), QStringLiteral("help")},
                                   QStringLiteral("Muestra esta ayuda y termina.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Muestra la versión y termina.")};
    const QCommandLineOption baseDeDatos{
        QStringLiteral("bd"),
        QStringLiteral("Base de datos: sqlite:/ruta.db o postgresql://usuario@servidor:puerto/base."),
        QStringLiteral("url")};
    const QCommandLineOption operador{
        QStringLiteral("operador"),
        QStringLiteral("Clave del operador que se propone al iniciar la sesión; en las órdenes sobre la base, quien "
                       "las ejecuta (con --prepara-base y --convierte-base, el administrador que se crea)."),
        QStringLiteral("clave")};
    const QCommandLineOption modulo{QStringLiteral("modulo"),
                                    QStringLiteral("Nombre de registro del módulo que se abre."),
                                    QStringLiteral("nombre"), QStringLiteral("KLD251.Pantalla")};
    const QCommandLineOption captura{QStringLiteral("screenshot"),
                                     QStringLiteral("Dibuja la ventana sin pantalla, la guarda en un PNG y termina."),
                                     QStringLiteral("archivo")};
    const QCommandLineOption registra{QStringLiteral("registra"),
                                      QStringLiteral("Registra la biblioteca de un módulo."),
                                      QStringLiteral("biblioteca")};
    const QCommandLineOption desregistra{QStringLiteral("desregistra"),
                                         QStringLiteral("Quita del registro la biblioteca de un módulo."),
                                         QStringLiteral("biblioteca")};
    const QCommandLineOption contrasena{
        QStringLiteral("pon-contrasena"),
        QStringLiteral("Cambia la contraseña de un vendedor (se lee de la entrada estándar)."),
        QStringLiteral("vendedor")};
    const QCommandLineOption contrasenaOperador{
        QStringLiteral("pon-contrasena-operador"),
        QStringLiteral("Cambia la contraseña con la que entra un operador (se lee de la entrada estándar)."),
        QStringLiteral("operador")};
    const QCommandLineOption preparaBase{
        QStringLiteral("prepara-base"),
        QStringLiteral("Prepara una base vacía: crea las tablas, la configuración inicial y el operador administrador "
                       "(el de --operador; ADMIN si no se indica), cuya contraseña se lee de la entrada estándar."),
        QStringLiteral("url")};
    const QCommandLineOption demo{QStringLiteral("demo"),
                                  QStringLiteral("Con --prepara-base: carga los datos de demostración en lugar de la "
                                                 "configuración inicial.")};
    const QCommandLineOption convierteBase{
        QStringLiteral("convierte-base"),
        QStringLiteral("Convierte una base PostgreSQL que la suite compartía con una sola cuenta en una donde cada "
                       "persona entra como su propio usuario; el administrador es el de --operador (ADMIN si no se "
                       "indica) y su contraseña se lee de la entrada estándar."),
        QStringLiteral("url")};
    const QCommandLineOption altaOperador{
        QStringLiteral("alta-operador"),
        QStringLiteral("Da de alta a una persona: su usuario del servidor y su operador (con --nombre, --vendedor y "
                       "--administrador); su contraseña se lee de la entrada estándar. Sólo un administrador."),
        QStringLiteral("clave")};
    const QCommandLineOption nombre{QStringLiteral("nombre"),
                                    QStringLiteral("Con --alta-operador: el nombre de la persona."),
                                    QStringLiteral("texto")};
    const QCommandLineOption vendedor{QStringLiteral("vendedor"),
                                      QStringLiteral("Con --alta-operador: el vendedor del operador."),
                                      QStringLiteral("clave")};
    const QCommandLineOption administrador{QStringLiteral("administrador"),
                                           QStringLiteral("Con --alta-operador: la persona es administradora.")};
    const QCommandLineOption bajaOperador{
        QStringLiteral("baja-operador"),
        QStringLiteral("Da de baja a una persona: su usuario del servidor, su operador y sus restricciones. Sólo un "
                       "administrador."),
        QStringLiteral("clave")};
    const QCommandLineOption actualizaEsquema{
        QStringLiteral("actualiza-esquema"),
        QStringLiteral("Lleva la base a la versión del esquema de este programa y termina.")};
    const QCommandLineOption arranque{
        QStringLiteral("mide-arranque"),
        QStringLiteral("Escribe cuánto tardó la primera pintura de la pantalla y termina.")};
    // For a host started by a script (a benchmark, a kiosk): no dialog to type into.
    const QCommandLineOption contrasenaPorEntrada{
        QStringLiteral("contrasena-por-entrada"),
        QStringLiteral("Entra sin la forma de ingreso: la contraseña del operador es la primera línea de la "
                       "entrada estándar.")};
    // For drawing one of the host's screens: --abre KLD215 "ACCION=CONSULTA|DATO=C001".
    const QCommandLineOption abre = oculta(
        {QStringLiteral("abre"),
         QStringLiteral("Pide la pantalla de un módulo (los parámetros siguen como argumento)."),
         QStringLiteral("modulo")});
};

} // namespace

Opciones Opciones::lee(const QStringList &argumentos)
{
    LineaDeOrdenes linea;
    Opciones opciones;
    if (!linea.parser.parse(argumentos)) {
        opciones.errores << linea.parser.errorText();
        return opciones;
    }
    opciones.baseDeDatos = linea.parser.value(linea.baseDeDatos);
    opciones.operador = linea.parser.value(linea.operador);
    opciones.modulo = linea.parser.value(linea.modulo);
    opciones.captura = linea.parser.value(linea.captura);
    opciones.registra = linea.parser.value(linea.registra);
    opciones.desregistra = linea.parser.value(linea.desregistra);
    opciones.vendedorContrasena = linea.parser.value(linea.contrasena);
    opciones.operadorContrasena = linea.parser.value(linea.contrasenaOperador);
    opciones.preparaBase = linea.parser.value(linea.preparaBase);
    opciones.demo = linea.parser.isSet(linea.demo);
    if (opciones.demo && opciones.preparaBase.isEmpty())
        opciones.errores << QStringLiteral("--demo sólo sirve junto con --prepara-base");
    opciones.convierteBase = linea.parser.value(linea.convierteBase);
    opciones.altaOperador = linea.parser.value(linea.altaOperador);
    opciones.nombre = linea.parser.value(linea.nombre);
    opciones.vendedor = linea.parser.value(linea.vendedor);
    opciones.administrador = linea.parser.isSet(linea.administrador);
    if (opciones.altaOperador.isEmpty()
        && (linea.parser.isSet(linea.nombre) || linea.parser.isSet(linea.vendedor) || opciones.administrador))
        opciones.errores << QStringLiteral(
            "--nombre, --vendedor y --administrador sólo sirven junto con --alta-operador");
    opciones.bajaOperador = linea.parser.value(linea.bajaOperador);
    opciones.actualizaEsquema = linea.parser.isSet(linea.actualizaEsquema);
    opciones.mideArranque = linea.parser.isSet(linea.arranque);
    opciones.contrasenaPorEntrada = linea.parser.isSet(linea.contrasenaPorEntrada);
    opciones.abreModulo = linea.parser.value(linea.abre);
    if (!opciones.abreModulo.isEmpty())
        opciones.abreParametros = linea.parser.positionalArguments().value(0);
    return opciones;
}

// Options of the window system (-platform, -style) are unknown here and leave the parse
// unfinished; help and version asked for beside them still count.
bool Opciones::pideTexto(const QStringList &argumentos)
{
    LineaDeOrdenes linea;
    linea.parser.parse(argumentos);
    return linea.parser.isSet(linea.ayuda) || linea.parser.isSet(linea.version);
}

QString Opciones::texto(const QStringList &argumentos)
{
    LineaDeOrdenes linea;
    linea.parser.parse(argumentos);
    if (linea.parser.isSet(linea.ayuda))
        return linea.parser.helpText();
    return QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
}

QString Opciones::archivoDemo()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Teqvaro/demo.db");
}
