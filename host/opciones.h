#pragma once

#include <QString>
#include <QStringList>

// The names of the host's options, each written here once: the parser, the checks made before
// the application exists and every message that sends the user to an option read them.
namespace Opcion {
inline constexpr QLatin1StringView baseDeDatos{"bd"};
inline constexpr QLatin1StringView baseDeLectura{"bd-lectura"};
inline constexpr QLatin1StringView operador{"operador"};
inline constexpr QLatin1StringView modulo{"modulo"};
inline constexpr QLatin1StringView captura{"screenshot"};
inline constexpr QLatin1StringView registra{"registra"};
inline constexpr QLatin1StringView desregistra{"desregistra"};
inline constexpr QLatin1StringView contrasena{"pon-contrasena"};
inline constexpr QLatin1StringView contrasenaOperador{"pon-contrasena-operador"};
inline constexpr QLatin1StringView preparaBase{"prepara-base"};
inline constexpr QLatin1StringView demo{"demo"};
inline constexpr QLatin1StringView convierteBase{"convierte-base"};
inline constexpr QLatin1StringView altaOperador{"alta-operador"};
inline constexpr QLatin1StringView nombre{"nombre"};
inline constexpr QLatin1StringView vendedor{"vendedor"};
inline constexpr QLatin1StringView administrador{"administrador"};
inline constexpr QLatin1StringView bajaOperador{"baja-operador"};
inline constexpr QLatin1StringView actualizaEsquema{"actualiza-esquema"};
inline constexpr QLatin1StringView mideArranque{"mide-arranque"};
inline constexpr QLatin1StringView contrasenaPorEntrada{"contrasena-por-entrada"};
inline constexpr QLatin1StringView abre{"abre"};

// As the user types it: "--prepara-base".
QString escrita(QLatin1StringView nombre);
} // namespace Opcion

// What the host was asked to do, from its command line.
struct Opciones
{
    QString baseDeDatos; // URL; empty: the demo SQLite database in the user's data folder
    QString operador;    // only proposed in the sign-in: the operator still signs in
    // URL of a hot standby of the PostgreSQL server of baseDeDatos, for the board's automatic readings
    QString baseDeLectura;
    QString modulo = QStringLiteral("KLD251.Pantalla");
    QString captura;                   // write the window to this PNG and end
    QString abreModulo;                // once the window is up, ask for this module's screen...
    QString abreParametros;            // ...with these parameters, as a module would
    bool mideArranque = false;         // print "pintado <ms>" at the screen's first paint and end
    bool contrasenaPorEntrada = false; // sign in with the first line of standard input, no dialog
    QString registra;                  // run this library's registration entry point and end
    QString desregistra;
    QString vendedorContrasena; // set this salesperson's password (read from standard input) and end
    QString operadorContrasena; // the same for an operator's sign-in password
    QString preparaBase;        // URL of an empty database to prepare (the administrator is `operador`) and end
    bool demo = false;          // prepare it with the demo's rows
    QString convierteBase;      // URL of a database shared through one account to give roles of its own, and end
    QString altaOperador;       // add this person (with `nombre`, `vendedor`, `administrador`) and end
    QString nombre;
    QString vendedor;
    bool administrador = false;
    QString bajaOperador;          // remove this person and end
    bool actualizaEsquema = false; // bring the schema up to date and end
    QStringList errores;

    static Opciones lee(const QStringList &argumentos);
    // Nobody can answer a window: the run draws to a file or only measures.
    bool sinPantalla() const { return !captura.isEmpty() || mideArranque; }
    static QString archivoDemo();

    // Help and the version need no window system: asked for anywhere on the command line,
    // they are answered before one is sought, so they work without a display.
    static bool pideTexto(const QStringList &argumentos);
    // The help, or the program's name and version, to print as it is.
    static QString texto(const QStringList &argumentos);
};
