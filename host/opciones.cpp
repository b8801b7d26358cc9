#include "opciones.h"

#include <QCommandLineParser>
#include <QStandardPaths>

Opciones Opciones::lee(const QStringList &argumentos)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Teqvaro: el anfitrión de los módulos de la suite"));
    parser.addHelpOption();
    const QCommandLineOption baseDeDatos(QStringLiteral("bd"),
                                         QStringLiteral("Base de datos: sqlite:/ruta.db o postgresql://usuario@servidor:puerto/base."),
                                         QStringLiteral("url"));
    const QCommandLineOption operador(QStringLiteral("operador"), QStringLiteral("Clave del operador de la sesión."),
                                      QStringLiteral("clave"), QStringLiteral("GERENTE"));
    const QCommandLineOption modulo(QStringLiteral("modulo"), QStringLiteral("Nombre de registro del módulo que se abre."),
                                    QStringLiteral("nombre"), QStringLiteral("KLD251.Pantalla"));
    const QCommandLineOption captura(QStringLiteral("screenshot"),
                                     QStringLiteral("Dibuja la ventana sin pantalla, la guarda en un PNG y termina."),
                                     QStringLiteral("archivo"));
    const QCommandLineOption registra(QStringLiteral("registra"), QStringLiteral("Registra la biblioteca de un módulo."),
                                      QStringLiteral("biblioteca"));
    const QCommandLineOption desregistra(QStringLiteral("desregistra"),
                                         QStringLiteral("Quita del registro la biblioteca de un módulo."),
                                         QStringLiteral("biblioteca"));
    const QCommandLineOption contrasena(QStringLiteral("pon-contrasena"),
                                        QStringLiteral("Cambia la contraseña de un vendedor (se lee de la entrada estándar)."),
                                        QStringLiteral("vendedor"));
    const QCommandLineOption arranque(QStringLiteral("mide-arranque"),
                                      QStringLiteral("Escribe cuánto tardó la primera pintura de la pantalla y termina."));
    // For drawing one of the host's screens: --abre KLD215 "ACCION=CONSULTA|DATO=C001".
    QCommandLineOption abre(QStringLiteral("abre"),
                            QStringLiteral("Pide la pantalla de un módulo (los parámetros siguen como argumento)."),
                            QStringLiteral("modulo"));
    abre.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({baseDeDatos, operador, modulo, captura, registra, desregistra, contrasena, arranque, abre});

    Opciones opciones;
    if (!parser.parse(argumentos)) {
        opciones.errores << parser.errorText();
        return opciones;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    opciones.baseDeDatos = parser.value(baseDeDatos);
    opciones.operador = parser.value(operador);
    opciones.modulo = parser.value(modulo);
    opciones.captura = parser.value(captura);
    opciones.registra = parser.value(registra);
    opciones.desregistra = parser.value(desregistra);
    opciones.vendedorContrasena = parser.value(contrasena);
    opciones.mideArranque = parser.isSet(arranque);
    opciones.abreModulo = parser.value(abre);
    if (!opciones.abreModulo.isEmpty())
        opciones.abreParametros = parser.positionalArguments().value(0);
    return opciones;
}

QString Opciones::archivoDemo()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Teqvaro/demo.db");
}
