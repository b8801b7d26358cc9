#include "formatolista.h"

#include "servicios/lecturalista.h"

#include "controles/texttable.h"
#include "runtime/conversions.h"
#include "runtime/regional.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace Servicios {
namespace {

// More decimals than these are the noise of binary fractions (0.1 + 0.2), not the value.
constexpr int decimalesMaximos = 6;
// How far into the rows shown a column's first figure is looked for.
constexpr int filasParaDecimales = 1000;

// Once per column and reading, on whichever thread reads: a pattern of its own each time.
QStringList palabrasDe(const QString &encabezado)
{
    return Runtime::foldedForComparison(encabezado)
        .split(QRegularExpression(QStringLiteral("[^\\p{L}\\p{N}]+")), Qt::SkipEmptyParts);
}

// Whether a word of the name begins with one of the roots ("Monto total", "Precios").
bool nombraAlgunaDe(const QString &encabezado, std::initializer_list<const char *> raices)
{
    const QStringList palabras = palabrasDe(encabezado);
    return std::any_of(palabras.cbegin(), palabras.cend(), [&](const QString &palabra) {
        return std::any_of(raices.begin(), raices.end(),
                           [&](const char *raiz) { return palabra.startsWith(QLatin1String(raiz)); });
    });
}

bool nombraUnaClave(const QString &encabezado)
{
    const QStringList palabras = palabrasDe(encabezado);
    static const QStringList claves = {QStringLiteral("folio"),  QStringLiteral("clave"), QStringLiteral("cve"),
                                       QStringLiteral("codigo"), QStringLiteral("id"),    QStringLiteral("ano")};
    return std::any_of(palabras.cbegin(), palabras.cend(),
                       [](const QString &palabra) { return claves.contains(palabra); });
}

int decimalesDe(double valor)
{
    const QString escrito = QString::number(valor, 'f', decimalesMaximos);
    const qsizetype punto = escrito.indexOf(QLatin1Char('.'));
    if (punto < 0)
        return 0;
    qsizetype fin = escrito.size();
    while (fin > punto + 1 && escrito.at(fin - 1) == QLatin1Char('0'))
        --fin;
    return int(fin - punto - 1);
}

// The decimals of a figure as a list shows it ("-1,234.50": 2); none for another text.
std::optional<int> decimalesMostrados(const QString &texto)
{
    qsizetype inicio = texto.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (inicio >= texto.size() || !texto.at(inicio).isDigit())
        return std::nullopt;
    const qsizetype punto = texto.indexOf(QLatin1Char('.'));
    const qsizetype enteros = punto < 0 ? texto.size() : punto;
    for (qsizetype at = inicio; at < enteros; ++at) {
        if (!texto.at(at).isDigit() && texto.at(at) != QLatin1Char(','))
            return std::nullopt;
    }
    if (punto < 0)
        return 0;
    for (qsizetype at = punto + 1; at < texto.size(); ++at) {
        if (!texto.at(at).isDigit())
            return std::nullopt;
    }
    return punto + 1 < texto.size() ? std::optional<int>(int(texto.size() - punto - 1)) : std::nullopt;
}

bool digitos(QStringView texto, qsizetype desde, qsizetype cuantos)
{
    if (desde + cuantos > texto.size())
        return false;
    return std::all_of(texto.begin() + desde, texto.begin() + desde + cuantos,
                       [](QChar letra) { return letra >= QLatin1Char('0') && letra <= QLatin1Char('9'); });
}

int numero(QStringView texto, qsizetype desde, qsizetype cuantos)
{
    int valor = 0;
    for (qsizetype at = desde; at < desde + cuantos; ++at)
        valor = valor * 10 + (texto[at].unicode() - u'0');
    return valor;
}

// A text the database keeps as a date ("2026-12-31", "2026-12-31 17:30:00",
// "2026-12-31T17:30:00.250"), as the forms show a date; none for any other text. Every text
// cell of every reading passes here, so it looks at each character once and writes the
// result in place.
std::optional<QString> fechaEscrita(const QString &texto)
{
    const QStringView escrito(texto);
    if (escrito.size() < 10 || escrito[4] != u'-' || escrito[7] != u'-' || !digitos(escrito, 0, 4)
        || !digitos(escrito, 5, 2) || !digitos(escrito, 8, 2)
        || !QDate::isValid(numero(escrito, 0, 4), numero(escrito, 5, 2), numero(escrito, 8, 2)))
        return std::nullopt;
    bool conHora = false;
    bool conSegundos = false;
    if (escrito.size() > 10) {
        const bool separada = escrito[10] == u' ' || escrito[10] == u'T';
        if (!separada || escrito.size() < 16 || !digitos(escrito, 11, 2) || escrito[13] != u':'
            || !digitos(escrito, 14, 2) || numero(escrito, 11, 2) > 23 || numero(escrito, 14, 2) > 59)
            return std::nullopt;
        if (escrito.size() > 16) {
            const bool fraccion = escrito.size() > 20 && escrito[19] == u'.'
                                  && digitos(escrito, 20, escrito.size() - 20);
            if (escrito[16] != u':' || !digitos(escrito, 17, 2) || numero(escrito, 17, 2) > 59
                || (escrito.size() != 19 && !fraccion))
                return std::nullopt;
            conSegundos = numero(escrito, 17, 2) != 0;
        }
        conHora = conSegundos || numero(escrito, 11, 2) != 0 || numero(escrito, 14, 2) != 0;
    }
    QString fecha(conSegundos ? 19 : conHora ? 16 : 10, Qt::Uninitialized);
    QChar *destino = fecha.data();
    for (const qsizetype origen : {8, 9, -1, 5, 6, -1, 0, 1, 2, 3, -2, 11, 12, 13, 14, 15, 16, 17, 18}) {
        if (destino == fecha.data() + fecha.size())
            break;
        *destino++ = origen == -1 ? QChar(u'/') : origen == -2 ? QChar(u' ') : escrito[origen];
    }
    return fecha;
}

bool esEntero(const QVariant &valor)
{
    switch (valor.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort: return true;
    default: return false;
    }
}

bool esFraccionario(const QVariant &valor)
{
    return valor.metaType().id() == QMetaType::Double || valor.metaType().id() == QMetaType::Float;
}

// A text the database would write for a number: a sign only for a negative one, digits, and
// decimals after a point ("-1234.50"). Nothing looser ("$1,234.50", " 12", "1e3"): such a text
// was typed or put together by someone, and only what is surely a number is taken for one.
bool esCifraEscrita(const QString &texto)
{
    static const QRegularExpression cifra(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    return cifra.match(texto).hasMatch();
}

// An amount column shows as money only the numbers the database holds; anything else there
// (on SQLite a text such as "$9,999,999.00" fits in any column) is shown as it is stored,
// after a warning sign, so it cannot pass for an amount, and the column's total leaves it out.
QString montoMostrado(const QVariant &valor)
{
    if (esEntero(valor) || esFraccionario(valor))
        return Runtime::formatAmount(valor.toDouble());
    const QString escrito = valor.metaType().id() == QMetaType::QString ? valor.toString() : textoDeCelda(valor);
    if (esCifraEscrita(escrito))
        return Runtime::formatAmount(escrito.toDouble());
    return escrito.isEmpty() ? escrito : marcaDeMontoNoNumerico.toString() + escrito;
}

} // namespace

FormatoDeLista::FormatoDeLista(const QStringList &encabezados, const Kit::TextTable *mostrada)
    : m_columnas(size_t(encabezados.size()))
{
    for (qsizetype indice = 0; indice < encabezados.size(); ++indice) {
        Columna &columna = m_columnas[size_t(indice)];
        const QString &nombre = encabezados.at(indice);
        if (indice == 0)
            columna.clase = Clase::Folio;
        else if (nombraAlgunaDe(nombre, {"monto", "importe", "precio", "total", "subtotal", "costo", "saldo"}))
            columna.clase = Clase::Dinero;
        else if (nombraUnaClave(nombre))
            columna.clase = Clase::Clave;
        if (columna.clase != Clase::Cifra || !mostrada)
            continue;
        for (int fila = 0; fila < std::min(mostrada->rowCount(), filasParaDecimales); ++fila) {
            const QString &texto = mostrada->text(fila, int(indice));
            if (texto.isEmpty())
                continue;
            if (const std::optional<int> decimales = decimalesMostrados(texto)) {
                columna.decimales = *decimales;
                break;
            }
        }
    }
}

QString FormatoDeLista::texto(int indice, const QVariant &valor)
{
    if (valor.isNull())
        return {};
    Columna &columna = m_columnas[size_t(indice)];
    if (columna.clase == Clase::Folio || columna.clase == Clase::Clave)
        return textoDeCelda(valor);
    if (columna.clase == Clase::Dinero)
        return montoMostrado(valor);
    if (esEntero(valor) || esFraccionario(valor)) {
        if (esEntero(valor) && columna.decimales <= 0) {
            columna.necesarios = std::max(columna.necesarios, 0);
            columna.decimales = 0;
            return Runtime::formatInteger(valor.toLongLong());
        }
        const double cantidad = valor.toDouble();
        return cifra(columna, indice, cantidad, esEntero(valor) ? 0 : decimalesDe(cantidad));
    }
    switch (valor.metaType().id()) {
    case QMetaType::QString: {
        const QString escrito = valor.toString();
        return fechaEscrita(escrito).value_or(escrito);
    }
    case QMetaType::QDate: return Runtime::formatDate(valor.toDate());
    case QMetaType::QDateTime: return Runtime::formatDateTime(valor.toDateTime());
    default: return Runtime::toTextOrEmpty(valor);
    }
}

QString FormatoDeLista::cifra(Columna &columna, int indice, double valor, int necesarios)
{
    columna.necesarios = std::max(columna.necesarios, necesarios);
    if (necesarios > columna.decimales) {
        if (columna.decimales >= 0)
            m_cambios.push_back(CambioDeDecimales{indice, columna.decimales, necesarios});
        columna.decimales = necesarios;
    }
    return Runtime::formatNumber(valor, columna.decimales);
}

std::vector<FormatoDeLista::CambioDeDecimales> FormatoDeLista::tomaCambios()
{
    return std::exchange(m_cambios, {});
}

std::vector<FormatoDeLista::CambioDeDecimales> FormatoDeLista::sobranDecimales()
{
    std::vector<CambioDeDecimales> cambios;
    for (size_t indice = 0; indice < m_columnas.size(); ++indice) {
        Columna &columna = m_columnas[indice];
        if (columna.clase != Clase::Cifra || columna.necesarios < 0 || columna.necesarios >= columna.decimales)
            continue;
        cambios.push_back(CambioDeDecimales{int(indice), columna.decimales, columna.necesarios});
        columna.decimales = columna.necesarios;
    }
    return cambios;
}

bool FormatoDeLista::sostieneDecimales(int indice, const QString &texto) const
{
    const Columna &columna = m_columnas[size_t(indice)];
    return columna.clase == Clase::Cifra && columna.decimales > 0 && decimalesMostrados(texto) == columna.decimales
           && !texto.endsWith(QLatin1Char('0'));
}

QString FormatoDeLista::conDecimales(const QString &texto, int antes, int despues)
{
    if (decimalesMostrados(texto) != antes || antes == despues)
        return texto;
    if (despues > antes)
        return texto + (antes == 0 ? QStringLiteral(".") : QString()) + QString(despues - antes, QLatin1Char('0'));
    const qsizetype quitar = antes - despues + (despues == 0 ? 1 : 0);
    const QStringView sobrante = QStringView(texto).last(antes - despues);
    if (!std::all_of(sobrante.begin(), sobrante.end(), [](QChar letra) { return letra == QLatin1Char('0'); }))
        return texto;
    return texto.first(texto.size() - quitar);
}

} // namespace Servicios
