#include "aspectos.h"

#include "ado/connection.h"
#include "controles/texttable.h"
#include "runtime/conversions.h"
#include "servicios/lecturalista.h"

#include <QHash>

#include <algorithm>

namespace Aspectos {
namespace {

// How often a long reading tells the caller it goes on (a power of two: a mask tells).
constexpr int filasEntreAvisos = 4096;

void avisa(const Avance &avance, qint64 fila)
{
    if (avance && (fila & (filasEntreAvisos - 1)) == 0)
        avance();
}

// The folios go to the database as one bound value, each with its position in the list:
// a JSON array for SQLite, a text array for PostgreSQL (whose planner sizes an array it is
// given, and so joins a long list by hashing and a short one through the folio's index).
QString estadosDeLosFolios(Ado::Engine motor)
{
    if (motor == Ado::Engine::SQLite)
        return QStringLiteral("SELECT Folios.key, Oportunidad.Op_Estado_Oportunidad "
                              "FROM json_each(?) AS Folios "
                              "     INNER JOIN Oportunidad ON Oportunidad.Op_Folio = Folios.value");
    return QStringLiteral("SELECT Folios.posicion - 1, Oportunidad.Op_Estado_Oportunidad "
                          "FROM unnest(CAST(? AS text[])) WITH ORDINALITY AS Folios(folio, posicion) "
                          "     INNER JOIN Oportunidad ON Oportunidad.Op_Folio = Folios.folio");
}

// The folios as one text: a JSON array of strings for SQLite, an array literal for
// PostgreSQL (each element between double quotes). Written directly rather than through a
// document object: a list may hold a million folios.
QString listaDeFolios(Ado::Engine motor, const Kit::TextTable &filas, int desde, int hasta, const Avance &avance)
{
    const bool json = motor == Ado::Engine::SQLite;
    QString lista;
    lista.reserve(qsizetype(hasta - desde) * 12 + 2);
    lista += json ? QLatin1Char('[') : QLatin1Char('{');
    for (int fila = desde; fila < hasta; ++fila) {
        avisa(avance, fila);
        if (fila > desde)
            lista += QLatin1Char(',');
        lista += QLatin1Char('"');
        for (const QChar letra : filas.text(fila, 0)) {
            if (json && letra.unicode() < 0x20) {
                lista += QStringLiteral("\\u%1").arg(letra.unicode(), 4, 16, QLatin1Char('0'));
                continue;
            }
            if (letra == QLatin1Char('"') || letra == QLatin1Char('\\'))
                lista += QLatin1Char('\\');
            lista += letra;
        }
        lista += QLatin1Char('"');
    }
    lista += json ? QLatin1Char(']') : QLatin1Char('}');
    return lista;
}

// The number of every state's look (see Leidos::porPosicion), by the state's key; for a key
// listed twice, the first.
QHash<QString, int> aspectosDeEstados(Ado::Connection &conexion, Leidos &leidos)
{
    std::vector<QVariant> &colores = leidos.colores;
    QHash<QString, int> porEstado;
    QHash<QString, int> indiceDeColor;
    Ado::Recordset estados = conexion.Execute(
        QStringLiteral("SELECT Eo_Cve_Estado_Oportunidad, Eo_Hexadecimal, Eo_Negrilla FROM Estado_Oportunidad"));
    for (; !estados.atEnd(); estados.moveNext()) {
        const QString clave = Runtime::toTextOrEmpty(estados.field(0));
        if (Runtime::isNull(estados.field(0)) || porEstado.contains(clave))
            continue;
        const QVariant color = estados.field(1);
        const QString claveDeColor = Runtime::isNull(color) ? QStringLiteral("\u0001nulo") : color.toString();
        auto indice = indiceDeColor.constFind(claveDeColor);
        if (indice == indiceDeColor.constEnd()) {
            indice = indiceDeColor.insert(claveDeColor, int(colores.size()));
            colores.push_back(color);
        }
        leidos.aspectos.push_back(Aspecto{*indice, Runtime::toTextOrEmpty(estados.field(2)) == QLatin1String("SI")});
        porEstado.insert(clave, int(leidos.aspectos.size()));
    }
    return porEstado;
}

// Whether the list holds most of the table. Only a server's cost tells the two ways apart:
// SQLite, in this process, looks each listed folio up as cheaply as it reads it. PostgreSQL's
// planner keeps a count of the table's rows; without one, the folios are looked up.
bool tieneLaMayorParte(Ado::Connection &conexion, int filas)
{
    if (conexion.engine() != Ado::Engine::PostgreSQL)
        return false;
    try {
        const Ado::Recordset cuenta = conexion.Execute(
            QStringLiteral("SELECT reltuples FROM pg_class WHERE oid = to_regclass('oportunidad')"));
        const double estimadas = cuenta.atEnd() ? -1 : cuenta.field(0).toDouble();
        return estimadas >= 0 && filas >= estimadas / 2;
    } catch (...) {
        return false;
    }
}

// The state of each listed row, through its folio, by the rows' places in the list.
class EstadosPorPosicion
{
public:
    EstadosPorPosicion(const QHash<QString, int> &porEstado, Leidos &leidos)
        : m_porEstado(porEstado)
        , m_leidos(leidos)
    { }

    // The folio's state holds for the row at that place, unless an earlier row of the
    // database already gave that row a look.
    void asigna(qint64 posicion, const QVariant &estado)
    {
        if (posicion < 0 || size_t(posicion) >= m_leidos.porPosicion.size()
            || m_leidos.porPosicion[size_t(posicion)] != 0 || Runtime::isNull(estado))
            return;
        const auto aspecto = m_porEstado.constFind(Servicios::textoDeCelda(estado));
        if (aspecto != m_porEstado.constEnd())
            m_leidos.porPosicion[size_t(posicion)] = *aspecto;
    }

    void copia(int desde, int hacia)
    {
        if (m_leidos.porPosicion[size_t(hacia)] == 0)
            m_leidos.porPosicion[size_t(hacia)] = m_leidos.porPosicion[size_t(desde)];
    }

private:
    const QHash<QString, int> &m_porEstado;
    Leidos &m_leidos;
};

// SQLite reads the whole bound list before it gives the first row, in one step the caller
// cannot break: a list of millions goes in parts, which cost SQLite no more in all (each
// folio is found through the index either way).
int foliosPorSentencia(Ado::Engine motor, int filas)
{
    constexpr int parteDeSQLite = 65536;
    return motor == Ado::Engine::SQLite ? parteDeSQLite : std::max(filas, 1);
}

// A short list asks for its own folios, each with its place; the database finds them
// through the folio's index.
void leeDeLosFolios(Ado::Connection &conexion, const Kit::TextTable &filas, EstadosPorPosicion &estados,
                    const Avance &avance)
{
    const Ado::Engine motor = conexion.engine();
    const int porSentencia = foliosPorSentencia(motor, filas.rowCount());
    for (int desde = 0; desde < filas.rowCount(); desde += porSentencia) {
        const int hasta = desde + std::min(porSentencia, filas.rowCount() - desde);
        Ado::Recordset leidos = conexion.Execute(estadosDeLosFolios(motor),
                                                 {listaDeFolios(motor, filas, desde, hasta, avance)});
        for (qint64 fila = 0; !leidos.atEnd(); leidos.moveNext(), ++fila) {
            avisa(avance, fila);
            estados.asigna(desde + leidos.field(0).toLongLong(), leidos.field(1));
        }
    }
}

// The listed rows by folio, among the first rows of the list; a folio listed twice has its
// other rows after the first.
class FoliosListados
{
public:
    FoliosListados(const Kit::TextTable &filas, int hasta)
        : m_siguienteFila(size_t(hasta), -1)
    {
        m_primeraFila.reserve(hasta);
        for (int fila = 0; fila < hasta; ++fila) {
            const auto lugar = m_primeraFila.constFind(filas.text(fila, 0));
            if (lugar == m_primeraFila.constEnd()) {
                m_primeraFila.insert(filas.text(fila, 0), fila);
                continue;
            }
            m_siguienteFila[size_t(fila)] = m_siguienteFila[size_t(*lugar)];
            m_siguienteFila[size_t(*lugar)] = fila;
        }
    }

    template<typename Accion> void paraCada(const QString &folio, Accion accion) const
    {
        const auto lugar = m_primeraFila.constFind(folio);
        for (int fila = lugar == m_primeraFila.constEnd() ? -1 : *lugar; fila >= 0;
             fila = m_siguienteFila[size_t(fila)])
            accion(fila);
    }

private:
    QHash<QString, int> m_primeraFila;
    std::vector<int> m_siguienteFila;
};

// A list that holds most of the table reads every folio's state once and finds the listed
// ones here: cheaper for the database than looking each folio up. While the table comes in
// the list's order each state goes to the next listed row; the first folio out of that
// order makes a look-up of every listed folio.
void leeDeLaTablaEntera(Ado::Connection &conexion, const Kit::TextTable &filas, EstadosPorPosicion &estados,
                        const Avance &avance)
{
    std::optional<FoliosListados> listados;
    int siguiente = 0;
    Ado::Recordset leidos = conexion.Execute(QStringLiteral("SELECT Op_Folio, Op_Estado_Oportunidad FROM Oportunidad"));
    for (qint64 fila = 0; !leidos.atEnd(); leidos.moveNext(), ++fila) {
        avisa(avance, fila);
        const QString folio = Servicios::textoDeCelda(leidos.field(0));
        const QVariant estado = leidos.field(1);
        if (!listados && siguiente < filas.rowCount() && filas.text(siguiente, 0) == folio) {
            estados.asigna(siguiente++, estado);
            continue;
        }
        if (!listados)
            listados.emplace(filas, filas.rowCount());
        listados->paraCada(folio, [&](int fila) { estados.asigna(fila, estado); });
    }
    if (listados)
        return;
    // The table ran out in the list's order: a row left is a folio listed again, which looks
    // as its first listing does, or one the table does not hold.
    const FoliosListados anteriores(filas, siguiente);
    for (int fila = siguiente; fila < filas.rowCount(); ++fila)
        anteriores.paraCada(filas.text(fila, 0), [&](int anterior) { estados.copia(anterior, fila); });
}

} // namespace

Leidos lee(Ado::Connection &conexion, const Kit::TextTable &filas, const Avance &avance)
{
    Leidos leidos;
    leidos.porPosicion.resize(size_t(filas.rowCount()));
    if (filas.rowCount() == 0)
        return leidos;
    const QHash<QString, int> porEstado = aspectosDeEstados(conexion, leidos);
    EstadosPorPosicion estados(porEstado, leidos);
    if (tieneLaMayorParte(conexion, filas.rowCount()))
        leeDeLaTablaEntera(conexion, filas, estados, avance);
    else
        leeDeLosFolios(conexion, filas, estados, avance);
    return leidos;
}

} // namespace Aspectos
