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

// The help of an option that only goes with --alta-operador.
QString conAlta(const QString &ayuda)
{
    return QStringLiteral("Con %1: %2").arg(Opcion::escrita(Opcion::altaOperador), ayuda);
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
                           baseDeLectura,
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
        Opcion::baseDeDatos,
        QStringLiteral("Base de datos: sqlite:/ruta.db o postgresql://usuario@servidor:puerto/base."),
        QStringLiteral("url")};
    const QCommandLineOption baseDeLectura{
        Opcion::baseDeLectura,
        QStringLiteral("Servidor de reserva (una réplica PostgreSQL en espera activa de la base de %1) del que el "
                       "tablero hace sus lecturas automáticas: postgresql://servidor:puerto/base, sin usuario ni "
                       "contraseña (entra con los de la sesión). Gana sobre la variable "
                       "CRM_BD_LECTURA_OPORTUNIDADES.")
            .arg(Opcion::escrita(Opcion::baseDeDatos)),
        QStringLiteral("url")};
    const QCommandLineOption operador{
        Opcion::operador,
        QStringLiteral("Clave del operador que se propone al iniciar la sesión; en las órdenes sobre la base, quien "
                       "las ejecuta (con %1 y %2, el administrador que se crea).")
            .arg(Opcion::escrita(Opcion::preparaBase), Opcion::escrita(Opcion::convierteBase)),
        QStringLiteral("clave")};
    const QCommandLineOption modulo{Opcion::modulo, QStringLiteral("Nombre de registro del módulo que se abre."),
                                    QStringLiteral("nombre"), QStringLiteral("KLD251.Pantalla")};
    const QCommandLineOption captura{Opcion::captura,
                                     QStringLiteral("Dibuja la ventana sin pantalla, la guarda en un PNG y termina."),
                                     QStringLiteral("archivo")};
    const QCommandLineOption registra{Opcion::registra, QStringLiteral("Registra la biblioteca de un módulo."),
                                      QStringLiteral("biblioteca")};
    const QCommandLineOption desregistra{Opcion::desregistra,
                                         QStringLiteral("Quita del registro la biblioteca de un módulo."),
                                         QStringLiteral("biblioteca")};
    const QCommandLineOption contrasena{
        Opcion::contrasena, QStringLiteral("Cambia la contraseña de un vendedor (se lee de la entrada estándar)."),
        QStringLiteral("vendedor")};
    const QCommandLineOption contrasenaOperador{
        Opcion::contrasenaOperador,
        QStringLiteral("Cambia la contraseña con la que entra un operador (se lee de la entrada estándar)."),
        QStringLiteral("operador")};
    const QCommandLineOption preparaBase{
        Opcion::preparaBase,
        QStringLiteral("Prepara una base vacía: crea las tablas, la configuración inicial y el operador administrador "
                       "(el de %1; ADMIN si no se indica), cuya contraseña se lee de la entrada estándar.")
            .arg(Opcion::escrita(Opcion::operador)),
        QStringLiteral("url")};
    const QCommandLineOption demo{Opcion::demo, QStringLiteral("Con %1: carga los datos de demostración en lugar de la "
                                                               "configuración inicial.")
                                                    .arg(Opcion::escrita(Opcion::preparaBase))};
    const QCommandLineOption convierteBase{
        Opcion::convierteBase,
        QStringLiteral("Convierte una base PostgreSQL que la suite compartía con una sola cuenta en una donde cada "
                       "persona entra como su propio usuario; el administrador es el de %1 (ADMIN si no se "
                       "indica) y su contraseña se lee de la entrada estándar.")
            .arg(Opcion::escrita(Opcion::operador)),
        QStringLiteral("url")};
    const QCommandLineOption altaOperador{
        Opcion::altaOperador,
        QStringLiteral("Da de alta a una persona: su usuario del servidor y su operador (con %1, %2 y %3); su "
                       "contraseña se lee de la entrada estándar. Sólo un administrador.")
            .arg(Opcion::escrita(Opcion::nombre), Opcion::escrita(Opcion::vendedor),
                 Opcion::escrita(Opcion::administrador)),
        QStringLiteral("clave")};
    const QCommandLineOption nombre{Opcion::nombre, conAlta(QStringLiteral("el nombre de la persona.")),
                                    QStringLiteral("texto")};
    const QCommandLineOption vendedor{Opcion::vendedor, conAlta(QStringLiteral("el vendedor del operador.")),
                                      QStringLiteral("clave")};
    const QCommandLineOption administrador{Opcion::administrador,
                                           conAlta(QStringLiteral("la persona es administradora."))};
    const QCommandLineOption bajaOperador{
        Opcion::bajaOperador,
        QStringLiteral("Da de baja a una persona: su usuario del servidor, su operador y sus restricciones. Sólo un "
                       "administrador."),
        QStringLiteral("clave")};
    const QCommandLineOption actualizaEsquema{
        Opcion::actualizaEsquema, QStringLiteral("Lleva la base a la versión del esquema de este programa y termina.")};
    const QCommandLineOption arranque{
        Opcion::mideArranque, QStringLiteral("Escribe cuánto tardó la primera pintura de la pantalla y termina.")};
    // For a host started by a script (a benchmark, a kiosk): no dialog to type into.
    const QCommandLineOption contrasenaPorEntrada{
        Opcion::contrasenaPorEntrada,
        QStringLiteral("Entra sin la forma de ingreso: la contraseña del operador es la primera línea de la "
                       "entrada estándar.")};
    // For drawing one of the host's screens: --abre KLD215 "ACCION=CONSULTA|DATO=C001".
    const QCommandLineOption abre = oculta(
        {Opcion::abre, QStringLiteral("Pide la pantalla de un módulo (los parámetros siguen como argumento)."),
         QStringLiteral("modulo")});
};

} // namespace

QString Opcion::escrita(QLatin1StringView nombre)
{
    return QStringLiteral("--").append(nombre);
}

Opciones Opciones::lee(const QStringList &argumentos)
{
    LineaDeOrdenes linea;
    Opciones opciones;
    if (!linea.parser.parse(argumentos)) {
        opciones.errores << linea.parser.errorText();
        return opciones;
    }
    opciones.baseDeDatos = linea.parser.value(linea.baseDeDatos);
    opciones.baseDeLectura = linea.parser.value(linea.baseDeLectura);
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
        opciones.errores << QStringLiteral("%1 sólo sirve junto con %2")
                                .arg(Opcion::escrita(Opcion::demo), Opcion::escrita(Opcion::preparaBase));
    opciones.convierteBase = linea.parser.value(linea.convierteBase);
    opciones.altaOperador = linea.parser.value(linea.altaOperador);
    opciones.nombre = linea.parser.value(linea.nombre);
    opciones.vendedor = linea.parser.value(linea.vendedor);
    opciones.administrador = linea.parser.isSet(linea.administrador);
    if (opciones.altaOperador.isEmpty()
        && (linea.parser.isSet(linea.nombre) || linea.parser.isSet(linea.vendedor) || opciones.administrador))
        opciones.errores << QStringLiteral("%1, %2 y %3 sólo sirven junto con %4")
                                .arg(Opcion::escrita(Opcion::nombre), Opcion::escrita(Opcion::vendedor),
                                     Opcion::escrita(Opcion::administrador), Opcion::escrita(Opcion::altaOperador));
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
