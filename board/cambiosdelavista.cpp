// The change question of the automatic reload, and what it needs to know of a view first.
#include "cambiosdelavista.h"

#include "ado/connection.h"

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <functional>

namespace {

// The statement of a view is made from its stored query and the salesperson's level: a change
// to either table counts too.
const QString tablaDeConsultas = QStringLiteral("consulta");
const QString tablaDeVendedores = QStringLiteral("vendedor");
const QString tablaDeOportunidades = QStringLiteral("oportunidad");

} // namespace

QString arregloDeTextos(const QStringList &textos)
{
    QStringList entre;
    for (QString texto : textos)
        entre << QLatin1Char('"')
                     + texto.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
                           .replace(QLatin1Char('"'), QLatin1String("\\\""))
                     + QLatin1Char('"');
    return QLatin1Char('{') + entre.join(QLatin1Char(',')) + QLatin1Char('}');
}

namespace {

// The definitions of the views among `nombres`, by name in lower case.
QHash<QString, QString> vistasEntre(Ado::Connection &conexion, const QStringList &nombres)
{
    QHash<QString, QString> vistas;
    if (conexion.engine() == Ado::Engine::PostgreSQL) {
        for (Ado::Recordset fila = conexion.Execute(
                 QStringLiteral("SELECT viewname, definition FROM pg_views WHERE schemaname = current_schema() AND "
                                "viewname = ANY (CAST(? AS text[]))"),
                 {arregloDeTextos(nombres)});
             !fila.atEnd(); fila.moveNext())
            vistas.insert(fila.field(0).toString(), fila.field(1).toString());
        return vistas;
    }
    // SQLite keeps the whole CREATE VIEW; what counts follows its first AS.
    static const QRegularExpression como(QStringLiteral("\\bAS\\b"), QRegularExpression::CaseInsensitiveOption);
    for (Ado::Recordset fila =
             conexion.Execute(QStringLiteral("SELECT lower(name), sql FROM sqlite_master WHERE type = 'view'"));
         !fila.atEnd(); fila.moveNext()) {
        const QString nombre = fila.field(0).toString();
        const QString definicion = fila.field(1).toString();
        if (nombres.contains(nombre))
            vistas.insert(nombre, definicion.mid(definicion.indexOf(como) + 2));
    }
    return vistas;
}

// The statement read as text, and every view it names, and every view those name.
Sql::Lectura leeConSusVistas(Ado::Connection &conexion, const QString &sql)
{
    Sql::Lectura total = Sql::lee(sql);
    QSet<QString> vistas;
    QStringList porLeer = total.nombres;
    while (!porLeer.isEmpty() && !total.llamaDesconocida) {
        const QHash<QString, QString> nuevas = vistasEntre(conexion, porLeer);
        porLeer.clear();
        for (auto vista = nuevas.cbegin(); vista != nuevas.cend(); ++vista) {
            if (vistas.contains(vista.key()))
                continue;
            vistas.insert(vista.key());
            const Sql::Lectura lectura = Sql::lee(vista.value());
            if (lectura.dependeDelReloj && !total.dependeDelReloj) {
                total.dependeDelReloj = true;
                total.porque = lectura.porque;
            }
            total.llamaDesconocida = total.llamaDesconocida || lectura.llamaDesconocida;
            porLeer << lectura.nombres;
        }
    }
    return total;
}

// The tables in a PostgreSQL plan; none when it reads something else (a function's rows, a
// table of another schema).
std::optional<QStringList> tablasDelPlan(const QJsonValue &nodo, const QString &esquema)
{
    QStringList tablas;
    const auto agrega = [&](const QJsonValue &hijo) {
        const std::optional<QStringList> suyas = tablasDelPlan(hijo, esquema);
        if (suyas)
            tablas << *suyas;
        return suyas.has_value();
    };
    if (nodo.isArray()) {
        for (const QJsonValue &hijo : nodo.toArray()) {
            if (!agrega(hijo))
                return std::nullopt;
        }
        return tablas;
    }
    if (!nodo.isObject())
        return tablas;
    const QJsonObject objeto = nodo.toObject();
    if (objeto.value(QStringLiteral("Node Type")).toString() == QLatin1String("Function Scan"))
        return std::nullopt;
    if (objeto.contains(QStringLiteral("Relation Name"))) {
        if (objeto.value(QStringLiteral("Schema")).toString() != esquema)
            return std::nullopt;
        tablas << objeto.value(QStringLiteral("Relation Name")).toString();
    }
    for (const QJsonValue &hijo : objeto) {
        if (!agrega(hijo))
            return std::nullopt;
    }
    return tablas;
}

// Every node of a plan, each once.
void recorre(const QJsonValue &nodo, const std::function<void(const QJsonObject &)> &visita)
{
    if (nodo.isArray()) {
        for (const QJsonValue &hijo : nodo.toArray())
            recorre(hijo, visita);
    } else if (nodo.isObject()) {
        visita(nodo.toObject());
        for (const QJsonValue &hijo : nodo.toObject())
            recorre(hijo, visita);
    }
}

// Whether each row comes from one opportunity's row alone: the plan reads the table of
// opportunities once, and no window or limit makes a row depend on the others.
bool unaOportunidadPorFila(const QJsonValue &plan)
{
    int lecturas = 0;
    bool sobreOtras = false;
    recorre(plan, [&](const QJsonObject &nodo) {
        lecturas += nodo.value(QStringLiteral("Relation Name")).toString() == tablaDeOportunidades ? 1 : 0;
        const QString tipo = nodo.value(QStringLiteral("Node Type")).toString();
        sobreOtras = sobreOtras || tipo == QLatin1String("WindowAgg") || tipo == QLatin1String("Limit");
    });
    return lecturas == 1 && !sobreOtras;
}

// The collation of the opportunities' folio, which orders a view by its folio; the server
// quotes its name.
QString intercalacionDelFolio(Ado::Connection &conexion)
{
    return conexion
        .Execute(QStringLiteral("SELECT quote_ident(n.nspname) || '.' || quote_ident(c.collname) FROM pg_attribute a "
                                "JOIN pg_collation c ON c.oid = a.attcollation JOIN pg_namespace n ON n.oid = "
                                "c.collnamespace WHERE a.attrelid = to_regclass('oportunidad') AND a.attname = "
                                "'op_folio'"))
        .field(0)
        .toString();
}

// The tables the view reads, when every one of them notes its writes; and whether its rows
// can be read again one opportunity at a time.
std::optional<QStringList> tablasConNotas(Ado::Connection &conexion, const QString &sql, EstudioDeVista &estudio)
{
    const QString esquema = conexion.Execute(QStringLiteral("SELECT current_schema()")).field(0).toString();
    const QString texto = conexion.Execute(QStringLiteral("EXPLAIN (VERBOSE, FORMAT JSON) ") + sql).field(0).toString();
    const QJsonArray plan = QJsonDocument::fromJson(texto.toUtf8()).array();
    if (!unaOportunidadPorFila(plan))
        estudio.porFolio.reset();
    else
        estudio.intercalacionDelFolio = intercalacionDelFolio(conexion);
    std::optional<QStringList> tablas = tablasDelPlan(plan, esquema);
    if (!tablas)
        return std::nullopt;
    *tablas << tablaDeConsultas << tablaDeVendedores;
    tablas->removeDuplicates();
    const int conNotas = conexion
                             .Execute(QStringLiteral("SELECT COUNT(*) FROM pg_trigger t JOIN pg_class c ON c.oid = "
                                                     "t.tgrelid WHERE t.tgname = 'teqvaro_cambio' AND c.relnamespace = "
                                                     "CAST(current_schema() AS regnamespace) AND c.relname = ANY "
                                                     "(CAST(? AS text[]))"),
                                      {arregloDeTextos(*tablas)})
                             .field(0)
                             .toInt();
    if (conNotas != tablas->size())
        return std::nullopt;
    return tablas;
}

EstudioDeVista estudiaEn(Ado::Connection &conexion, const QString &sql)
{
    const Sql::Lectura lectura = leeConSusVistas(conexion, sql);
    EstudioDeVista estudio{std::nullopt, lectura.dependeDelReloj, lectura.porque, lectura.ordenPorFolio, {}};
    if (conexion.engine() == Ado::Engine::PostgreSQL && !lectura.llamaDesconocida)
        estudio.tablas = tablasConNotas(conexion, sql, estudio);
    if (!estudio.tablas || estudio.intercalacionDelFolio.isEmpty())
        estudio.porFolio.reset(); // only the notes tell which opportunities changed
    return estudio;
}

using Respuesta = CambiosDeLaVista::Respuesta;

Respuesta porLaFicha(Ado::Connection &conexion, const std::optional<QString> &mostrada)
{
    const QString ficha = conexion.changeToken();
    const bool igual = mostrada && ficha == *mostrada;
    return {igual ? Respuesta::Que::Nada : Respuesta::Que::Todo, {}, ficha, !igual};
}

// One call, so one snapshot: the notes of the transactions committed since the rows shown
// were read (visible now, not visible then). A snapshot older than the notes kept reads
// everything. Asked often: its values go in its text, one round trip.
Respuesta porLasNotas(Ado::Connection &conexion, const QStringList &tablas, const QString &mostrada)
{
    Ado::Recordset fila = conexion.Execute(
        QStringLiteral(
            "SELECT tabla, folio, tarde FROM teqvaro_cambios(CAST(%1 AS pg_snapshot), CAST(%2 AS text[]), %3)")
            .arg(conexion.literal(mostrada), conexion.literal(arregloDeTextos(tablas)),
                 QString::number(CambiosDeLaVista::maximoDeFolios + 1)));
    Respuesta respuesta{Respuesta::Que::Nada, {}, {}, false};
    bool todo = false;
    int filas = 0;
    for (; !fila.atEnd(); fila.moveNext()) {
        const QString tabla = fila.field(0).toString();
        if (tabla.isEmpty()) {
            respuesta.ficha = fila.field(1).toString();
            todo = todo || fila.field(2).toBool();
            continue;
        }
        ++filas;
        respuesta.consultaCambiada = respuesta.consultaCambiada || tabla == tablaDeConsultas
                                     || tabla == tablaDeVendedores;
        if (tabla != tablaDeOportunidades || fila.field(1).isNull())
            todo = true;
        else
            respuesta.folios << fila.field(1).toString();
    }
    if (todo || filas > CambiosDeLaVista::maximoDeFolios) {
        respuesta.que = Respuesta::Que::Todo;
        respuesta.consultaCambiada = true; // the notes may not all have been read
    } else if (filas > 0)
        respuesta.que = Respuesta::Que::Oportunidades;
    if (respuesta.que != Respuesta::Que::Oportunidades)
        respuesta.folios.clear();
    return respuesta;
}

} // namespace

const EstudioDeVista &CambiosDeLaVista::estudia(Ado::Connection &conexion, const QString &sql)
{
    if (const auto conocido = m_estudios.constFind(sql); conocido != m_estudios.cend())
        return *conocido;
    const EstudioDeVista estudio = estudiaEn(conexion, sql);
    qInfo().noquote() << (estudio.dependeDelReloj
                              ? QStringLiteral("Vista que depende del reloj (usa «%1»): se lee de nuevo cada minuto")
                                    .arg(estudio.porque)
                              : QStringLiteral("Vista que no depende del reloj: se lee de nuevo sólo si cambian sus "
                                               "tablas"))
                      << (estudio.tablas ? estudio.tablas->join(QStringLiteral(", ")) : QStringLiteral("(todas)"))
                      << "—" << sql.simplified().left(120);
    return *m_estudios.insert(sql, estudio);
}

CambiosDeLaVista::Respuesta CambiosDeLaVista::pregunta(Ado::Connection &conexion, const QString &sql,
                                                       const std::optional<QString> &mostrada)
{
    if (!mostrada || conexion.engine() != Ado::Engine::PostgreSQL)
        return porLaFicha(conexion, mostrada);
    std::optional<QStringList> tablas;
    try {
        tablas = estudia(conexion, sql).tablas;
        if (tablas)
            return porLasNotas(conexion, *tablas, *mostrada);
    } catch (...) {
        // A view the plan cannot be asked of, or notes this person cannot read: as if the
        // board could not tell its tables. A connection that broke asks nothing more.
        if (conexion.isBroken())
            throw;
    }
    return porLaFicha(conexion, mostrada);
}
