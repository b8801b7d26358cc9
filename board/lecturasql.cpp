// A small reader of SQL text: names, quoted names, texts, comments and the rest. It knows no
// grammar; it needs only to tell a function call from a name and a text from the statement.
#include "lecturasql.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace Sql {
namespace {

// Names that are the clock wherever they stand (PostgreSQL's special values).
const QSet<QString> &valoresDelReloj()
{
    static const QSet<QString> nombres = {"current_date", "current_time", "current_timestamp", "localtime",
                                          "localtimestamp"};
    return nombres;
}

// Functions that read the clock: PostgreSQL's and SQLite's.
const QSet<QString> &funcionesDelReloj()
{
    static const QSet<QString> nombres = {"now",
                                          "clock_timestamp",
                                          "statement_timestamp",
                                          "transaction_timestamp",
                                          "timeofday",
                                          "age",
                                          "date",
                                          "time",
                                          "datetime",
                                          "julianday",
                                          "strftime",
                                          "unixepoch",
                                          "timediff",
                                          "random"};
    return nombres;
}

// Texts that mean the clock when a date function reads them.
const QSet<QString> &textosDelReloj()
{
    static const QSet<QString> textos = {"now", "today", "tomorrow", "yesterday"};
    return textos;
}

// Functions known to give the same result for the same rows at any time, and the words of
// SQL that a parenthesis may follow. Any other name before a parenthesis is a function the
// board cannot look into.
const QSet<QString> &sinReloj()
{
    static const QSet<QString> nombres = {
        // SQL's own words
        "in", "exists", "values", "as", "on", "and", "or", "not", "using", "over", "filter", "within", "select", "from",
        "where", "join", "when", "then", "else", "case", "any", "some", "all", "array", "row", "union", "intersect",
        "except", "by", "having", "with", "recursive", "lateral", "is", "between", "like", "ilike", "escape",
        "distinct", "partition", "order", "group", "limit", "offset", "end", "null", "cast", "extract", "position",
        "overlay", "trim", "substring", "coalesce", "nullif", "greatest", "least",
        // type names with a size
        "numeric", "decimal", "varchar", "char", "character", "varying", "int", "integer", "bigint", "smallint", "text",
        "real", "float", "double", "precision", "boolean", "timestamp", "interval",
        // functions of text, numbers and groups
        "upper", "lower", "ltrim", "rtrim", "btrim", "substr", "length", "char_length", "character_length",
        "octet_length", "replace", "ifnull", "iif", "abs", "round", "ceil", "ceiling", "floor", "trunc", "sign", "mod",
        "power", "sqrt", "count", "sum", "avg", "min", "max", "total", "group_concat", "string_agg", "array_agg",
        "bool_and", "bool_or", "every", "concat", "concat_ws", "lpad", "rpad", "left", "right", "strpos", "instr",
        "printf", "format", "to_char", "to_number", "to_date", "to_timestamp", "date_part", "date_trunc", "initcap",
        "split_part", "regexp_replace", "translate", "reverse", "repeat", "md5", "hex", "typeof", "unicode",
        "quote_literal", "quote_ident", "row_number", "rank", "dense_rank", "ntile", "lag", "lead", "first_value",
        "last_value", "nth_value", "percent_rank", "cume_dist"};
    return nombres;
}

// A name, a word (in lower case) or a sign of the statement, outside every parenthesis; a
// text stands as a lone quote.
struct Pieza
{
    QString texto;
    bool entreComillas = false;

    bool es(QLatin1StringView palabra) const { return !entreComillas && texto == palabra; }
    bool operator==(const Pieza &) const = default;
};

// Whether the statement's rows come one per opportunity in the order of their folios: its
// first column is the folio, plainly (`Op_Folio`, perhaps with its table's name and a name
// of its own), and it ends ordered by that column alone. Anything else the board reads whole.
class OrdenDeArriba
{
public:
    explicit OrdenDeArriba(const std::vector<Pieza> &piezas)
        : m_piezas(piezas)
    { }

    std::optional<OrdenPorFolio> porFolio() const
    {
        const auto combina = std::find_if(m_piezas.cbegin(), m_piezas.cend(), [](const Pieza &pieza) {
            return pieza.es(QLatin1StringView("union")) || pieza.es(QLatin1StringView("intersect"))
                   || pieza.es(QLatin1StringView("except"));
        });
        const std::optional<Columna> folio = primeraColumna();
        if (combina != m_piezas.cend() || !folio)
            return std::nullopt;
        return ordenadoPor(*folio);
    }

private:
    struct Columna
    {
        std::vector<Pieza> expresion;
        std::optional<Pieza> alias;
    };

    size_t busca(QLatin1StringView palabra, size_t desde = 0) const
    {
        for (size_t at = desde; at < m_piezas.size(); ++at) {
            if (m_piezas[at].es(palabra))
                return at;
        }
        return m_piezas.size();
    }

    std::optional<Columna> primeraColumna() const
    {
        size_t at = busca(QLatin1StringView("select")) + 1;
        if (at < m_piezas.size() && m_piezas[at].es(QLatin1StringView("all")))
            ++at;
        size_t fin = at;
        while (fin < m_piezas.size() && !m_piezas[fin].es(QLatin1StringView(","))
               && !m_piezas[fin].es(QLatin1StringView("from")))
            ++fin;
        const std::vector<Pieza> item(m_piezas.begin() + qsizetype(std::min(at, fin)),
                                      m_piezas.begin() + qsizetype(fin));
        Columna columna;
        const size_t largo = item.size() >= 3 && item[1].es(QLatin1StringView(".")) ? 3 : 1;
        if (item.empty() || item.size() < largo || !esElFolio(item[largo - 1]))
            return std::nullopt;
        columna.expresion.assign(item.begin(), item.begin() + qsizetype(largo));
        size_t resto = largo;
        if (resto < item.size() && item[resto].es(QLatin1StringView("as")))
            ++resto;
        if (resto + 1 == item.size())
            columna.alias = item[resto];
        else if (resto != item.size())
            return std::nullopt;
        return columna;
    }

    static bool esElFolio(const Pieza &pieza) { return pieza.texto.toLower() == QLatin1String("op_folio"); }

    std::optional<OrdenPorFolio> ordenadoPor(const Columna &folio) const
    {
        size_t orden = m_piezas.size();
        for (size_t at = busca(QLatin1StringView("order")); at < m_piezas.size();
             at = busca(QLatin1StringView("order"), at + 1))
            orden = at;
        if (orden + 1 >= m_piezas.size() || !m_piezas[orden + 1].es(QLatin1StringView("by")))
            return std::nullopt;
        std::vector<Pieza> clave(m_piezas.begin() + qsizetype(orden + 2), m_piezas.end());
        while (!clave.empty() && clave.back().es(QLatin1StringView(";")))
            clave.pop_back();
        OrdenPorFolio resultado;
        if (!clave.empty()
            && (clave.back().es(QLatin1StringView("asc")) || clave.back().es(QLatin1StringView("desc")))) {
            resultado.descendente = clave.back().es(QLatin1StringView("desc"));
            clave.pop_back();
        }
        const bool esLaColumna = clave == folio.expresion || (clave.size() == 1 && clave[0] == folio.expresion.back())
                                 || (clave.size() == 1 && folio.alias && clave[0] == *folio.alias)
                                 || (clave.size() == 1 && clave[0].es(QLatin1StringView("1")));
        return esLaColumna ? std::optional(resultado) : std::nullopt;
    }

    const std::vector<Pieza> &m_piezas;
};

class Lector
{
public:
    explicit Lector(const QString &sql)
        : m_sql(sql)
    { }

    Lectura lee()
    {
        while (m_pos < m_sql.size())
            siguiente();
        m_lectura.ordenPorFolio = OrdenDeArriba(m_arriba).porFolio();
        return m_lectura;
    }

private:
    QChar en(qsizetype pos) const { return pos < m_sql.size() ? m_sql.at(pos) : QChar(); }

    void siguiente()
    {
        const QChar c = m_sql.at(m_pos);
        if (c == QLatin1Char('-') && en(m_pos + 1) == QLatin1Char('-'))
            saltaHasta(QStringLiteral("\n"));
        else if (c == QLatin1Char('/') && en(m_pos + 1) == QLatin1Char('*'))
            saltaHasta(QStringLiteral("*/"));
        else if (c == QLatin1Char('\''))
            texto();
        else if (c == QLatin1Char('"'))
            nombreEntreComillas();
        else if (c == QLatin1Char('$'))
            dolar();
        else if (c.isLetter() || c == QLatin1Char('_'))
            palabraSuelta();
        else
            simbolo(c);
    }

    void nombreEntreComillas()
    {
        const QString leido = entreComillas(QLatin1Char('"'));
        pieza(leido, true);
        nombre(leido);
    }

    void palabraSuelta()
    {
        const QString leida = palabra();
        pieza(leida);
        nombre(leida);
    }

    void simbolo(QChar c)
    {
        ++m_pos;
        if (c == QLatin1Char(')'))
            --m_profundidad;
        if (!c.isSpace())
            pieza(QString(c));
        if (c == QLatin1Char('('))
            ++m_profundidad;
    }

    // What stands outside every parenthesis is what orders the statement's rows.
    void pieza(const QString &texto, bool entreComillas = false)
    {
        if (m_profundidad == 0)
            m_arriba.push_back(Pieza{texto, entreComillas});
    }

    void saltaHasta(const QString &fin)
    {
        const qsizetype donde = m_sql.indexOf(fin, m_pos + 2);
        m_pos = donde < 0 ? m_sql.size() : donde + fin.size();
    }

    QString entreComillas(QChar comilla)
    {
        QString leido;
        for (++m_pos; m_pos < m_sql.size(); ++m_pos) {
            if (m_sql.at(m_pos) != comilla) {
                leido += m_sql.at(m_pos);
            } else if (en(m_pos + 1) == comilla) {
                leido += comilla;
                ++m_pos;
            } else {
                ++m_pos;
                return leido;
            }
        }
        return leido;
    }

    QString palabra()
    {
        const qsizetype inicio = m_pos;
        while (m_pos < m_sql.size() && (m_sql.at(m_pos).isLetterOrNumber() || m_sql.at(m_pos) == QLatin1Char('_')))
            ++m_pos;
        return m_sql.mid(inicio, m_pos - inicio).toLower();
    }

    void texto()
    {
        pieza(QStringLiteral("'"));
        const QString leido = entreComillas(QLatin1Char('\'')).trimmed().toLower();
        if (textosDelReloj().contains(leido))
            dependeDe(QStringLiteral("'") + leido + QStringLiteral("'"));
    }

    // A text between dollars is PostgreSQL's; a statement read as text cannot tell what it
    // holds. A numbered parameter ($1) is just a value.
    void dolar()
    {
        pieza(QStringLiteral("$"));
        ++m_pos;
        if (en(m_pos).isDigit())
            return;
        m_lectura.llamaDesconocida = true;
        dependeDe(QStringLiteral("$"));
    }

    void nombre(const QString &leido)
    {
        const bool llamada = siguienteSignificativo() == QLatin1Char('(');
        if (!m_lectura.nombres.contains(leido))
            m_lectura.nombres << leido;
        if (valoresDelReloj().contains(leido) || (llamada && funcionesDelReloj().contains(leido))) {
            dependeDe(leido);
        } else if (llamada && !sinReloj().contains(leido)) {
            m_lectura.llamaDesconocida = true;
            dependeDe(leido);
        } else if (leido == QLatin1String("e") && en(m_pos) == QLatin1Char('\'')) {
            // Its backslashes escape: read as plain text, what follows could be anything.
            m_lectura.llamaDesconocida = true;
            dependeDe(QStringLiteral("E'…'"));
        }
    }

    QChar siguienteSignificativo() const
    {
        qsizetype pos = m_pos;
        while (pos < m_sql.size() && m_sql.at(pos).isSpace())
            ++pos;
        return en(pos);
    }

    void dependeDe(const QString &porque)
    {
        if (!m_lectura.dependeDelReloj)
            m_lectura.porque = porque;
        m_lectura.dependeDelReloj = true;
    }

    const QString &m_sql;
    qsizetype m_pos = 0;
    int m_profundidad = 0;
    std::vector<Pieza> m_arriba;
    Lectura m_lectura;
};

} // namespace

Lectura lee(const QString &sql)
{
    return Lector(sql).lee();
}

} // namespace Sql
