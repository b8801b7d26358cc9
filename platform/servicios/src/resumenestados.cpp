#include "servicios/resumenestados.h"

#include "registro.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/regional.h"

#include <QCollator>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <numeric>

namespace Servicios {
namespace {

const QString SinEstado = QStringLiteral("(Sin estado)");

// A sign, a currency symbol or three-letter code on either side, and the figures between.
const QRegularExpression &formaDeMonto()
{
    static const QRegularExpression forma(
        QStringLiteral("^(?<signo>[-+]?)\\s*(?:(?:\\p{Sc}|[A-Z]{3})\\s*)?(?<signoTrasMoneda>[-+]?)\\s*"
                       "(?<cifras>[0-9](?:[0-9.,' \\x{00A0}\\x{202F}]*[0-9])?)"
                       "\\s*(?:\\p{Sc}|[A-Z]{3})?$"));
    return forma;
}

// Which separator marks the decimals: the last one when both appear, a lone point, and a
// lone comma unless exactly three digits follow it ("1,250" is a thousand and more, as a
// Mexican list writes it).
QChar separadorDecimal(const QString &cifras)
{
    const qsizetype ultimoPunto = cifras.lastIndexOf(QLatin1Char('.'));
    const qsizetype ultimaComa = cifras.lastIndexOf(QLatin1Char(','));
    if (ultimoPunto >= 0 && ultimaComa >= 0)
        return ultimoPunto > ultimaComa ? QLatin1Char('.') : QLatin1Char(',');
    if (ultimoPunto >= 0)
        return cifras.count(QLatin1Char('.')) == 1 ? QLatin1Char('.') : QChar();
    if (ultimaComa >= 0 && cifras.count(QLatin1Char(',')) == 1 && cifras.size() - ultimaComa - 1 != 3)
        return QLatin1Char(',');
    return {};
}

// The integer part with its group separators: a first group of one to three digits, then
// groups of three, all apart by the same separator, so a stray comma or point inside a text
// is not taken for one.
std::optional<QString> parteEntera(const QString &texto)
{
    static const QRegularExpression agrupada(
        QStringLiteral("^[1-9][0-9]{0,2}(?<separador>[.,' \\x{00A0}\\x{202F}])[0-9]{3}(?:\\k<separador>[0-9]{3})*$"));
    static const QRegularExpression corrida(QStringLiteral("^[0-9]+$"));
    if (corrida.match(texto).hasMatch())
        return texto;
    if (!agrupada.match(texto).hasMatch())
        return std::nullopt;
    QString digitos = texto;
    digitos.remove(QRegularExpression(QStringLiteral("[^0-9]")));
    return digitos;
}

std::optional<double> cifrasComoNumero(const QString &cifras)
{
    const QChar decimal = separadorDecimal(cifras);
    const qsizetype corte = decimal.isNull() ? cifras.size() : cifras.lastIndexOf(decimal);
    const QString decimales = cifras.mid(corte + 1);
    if (!decimal.isNull() && !std::all_of(decimales.cbegin(), decimales.cend(), [](QChar c) { return c.isDigit(); }))
        return std::nullopt;
    const std::optional<QString> entera = parteEntera(cifras.left(corte));
    if (!entera)
        return std::nullopt;
    bool leido = false;
    const double valor = QString(*entera + QLatin1Char('.') + (decimales.isEmpty() ? QStringLiteral("0") : decimales))
                             .toDouble(&leido);
    return leido ? std::optional<double>(valor) : std::nullopt;
}

// The colour that most rows of a state are shown in; on a tie the one met first.
class ConteoDeColores
{
public:
    void cuenta(const QColor &color)
    {
        const auto igual = [&](const std::pair<QColor, int> &visto) { return visto.first == color; };
        if (auto visto = std::find_if(m_vistos.begin(), m_vistos.end(), igual); visto != m_vistos.end())
            ++visto->second;
        else
            m_vistos.emplace_back(color, 1);
    }

    QColor masFrecuente() const
    {
        const auto menos = [](const auto &izquierda, const auto &derecha) { return izquierda.second < derecha.second; };
        // max_element keeps the first of equal elements.
        const auto mayor = std::max_element(m_vistos.cbegin(), m_vistos.cend(), menos);
        return mayor == m_vistos.cend() ? QColor() : mayor->first;
    }

private:
    std::vector<std::pair<QColor, int>> m_vistos; // few per state: a scan beats a hash
};

struct Grupo
{
    EstadoResumido resumen;
    ConteoDeColores colores;
};

// Most opportunities first; states with as many in Spanish alphabetical order.
void ordenaPorCantidad(std::vector<EstadoResumido> &estados)
{
    QCollator colacion(Runtime::mexicanLocale());
    std::sort(estados.begin(), estados.end(), [&](const EstadoResumido &izquierdo, const EstadoResumido &derecho) {
        if (izquierdo.cantidad != derecho.cantidad)
            return izquierdo.cantidad > derecho.cantidad;
        const int orden = colacion.compare(izquierdo.estado, derecho.estado);
        return orden != 0 ? orden < 0 : izquierdo.estado < derecho.estado;
    });
}

// The states the order names, in its order (a description is matched as written, or else
// letter case and accents aside); then the others alphabetically; "(Sin estado)" last.
void ordenaPorEtapas(std::vector<EstadoResumido> &estados, const QStringList &orden)
{
    QHash<QString, qsizetype> exacto;
    QHash<QString, qsizetype> parecido;
    for (qsizetype lugar = orden.size() - 1; lugar >= 0; --lugar) { // the first of repeated names wins
        exacto.insert(orden.at(lugar).trimmed(), lugar);
        parecido.insert(Runtime::foldedForComparison(orden.at(lugar)), lugar);
    }
    const auto lugarDe = [&](const EstadoResumido &estado) -> std::pair<int, qsizetype> {
        if (estado.estado == SinEstado)
            return {2, 0};
        if (const auto hallado = exacto.constFind(estado.estado); hallado != exacto.constEnd())
            return {0, *hallado};
        if (const auto hallado = parecido.constFind(Runtime::foldedForComparison(estado.estado));
            hallado != parecido.constEnd())
            return {0, *hallado};
        return {1, 0};
    };
    QCollator colacion(Runtime::mexicanLocale());
    std::stable_sort(estados.begin(), estados.end(),
                     [&](const EstadoResumido &izquierdo, const EstadoResumido &derecho) {
                         const auto lugarIzquierdo = lugarDe(izquierdo);
                         const auto lugarDerecho = lugarDe(derecho);
                         if (lugarIzquierdo != lugarDerecho)
                             return lugarIzquierdo < lugarDerecho;
                         return colacion.compare(izquierdo.estado, derecho.estado) < 0;
                     });
}

std::optional<QStringList> ordenDeEstadosDeLaSesion()
{
    try {
        return ordenDeEstados(*Ado::Session::connection());
    } catch (...) {
        qCWarning(logServicios).noquote() << "El resumen por estado no pudo leer el orden de los estados:"
                                          << Runtime::toRuntimeError(std::current_exception()).description();
        return std::nullopt;
    }
}

const QString &celda(const QStringList &textos, int columna)
{
    static const QString vacia;
    return columna >= 0 && columna < textos.size() ? textos.at(columna) : vacia;
}

// Whether most filled cells of the column read as amounts.
bool columnaDeMontos(const std::vector<FilaParaResumen> &filas, int columna)
{
    int llenas = 0;
    int montos = 0;
    for (const FilaParaResumen &fila : filas) {
        const QString &texto = celda(fila.textos, columna);
        if (texto.trimmed().isEmpty())
            continue;
        ++llenas;
        montos += leeMonto(texto) ? 1 : 0;
    }
    return llenas > 0 && montos * 2 >= llenas;
}

} // namespace

int ResumenEstados::cantidadTotal() const
{
    return std::accumulate(estados.cbegin(), estados.cend(), 0,
                           [](int suma, const EstadoResumido &estado) { return suma + estado.cantidad; });
}

double ResumenEstados::montoTotal() const
{
    return std::accumulate(estados.cbegin(), estados.cend(), 0.0,
                           [](double suma, const EstadoResumido &estado) { return suma + estado.monto; });
}

int columnaTitulada(const QStringList &encabezados, const QString &titulo)
{
    const QString buscado = Runtime::foldedForComparison(titulo);
    for (qsizetype columna = 0; columna < encabezados.size(); ++columna) {
        if (Runtime::foldedForComparison(encabezados.at(columna)) == buscado)
            return int(columna);
    }
    return -1;
}

bool tieneColumnaEstado(const QStringList &encabezados)
{
    return columnaTitulada(encabezados, QStringLiteral("Estado")) >= 0;
}

std::optional<double> leeMonto(const QString &texto)
{
    QString limpio = texto.trimmed();
    bool entreParentesis = false;
    if (limpio.startsWith(QLatin1Char('(')) && limpio.endsWith(QLatin1Char(')'))) {
        entreParentesis = true;
        limpio = limpio.mid(1, limpio.size() - 2).trimmed();
    }
    const QRegularExpressionMatch partes = formaDeMonto().match(limpio);
    if (!partes.hasMatch())
        return std::nullopt;
    const QString signo = partes.captured(u"signo") + partes.captured(u"signoTrasMoneda");
    if (signo.size() > 1 || (entreParentesis && !signo.isEmpty()))
        return std::nullopt;
    const std::optional<double> valor = cifrasComoNumero(partes.captured(u"cifras"));
    if (!valor)
        return std::nullopt;
    return entreParentesis || signo == QLatin1String("-") ? -*valor : *valor;
}

QStringList ordenDeEstados(Ado::Connection &conexion)
{
    std::vector<std::pair<QString, QString>> estados; // key, description
    for (Ado::Recordset leidos = conexion.Execute(
             QStringLiteral("SELECT Eo_Cve_Estado_Oportunidad, Eo_Descripcion FROM Estado_Oportunidad"));
         !leidos.atEnd(); leidos.moveNext())
        estados.emplace_back(Runtime::toTextOrEmpty(leidos.field(0)).trimmed(),
                             Runtime::toTextOrEmpty(leidos.field(1)));
    const auto numero = [](const QString &clave) {
        bool esNumero = false;
        const qlonglong valor = clave.toLongLong(&esNumero);
        return std::pair{esNumero, valor};
    };
    if (std::all_of(estados.cbegin(), estados.cend(), [&](const auto &estado) { return numero(estado.first).first; }))
        std::stable_sort(estados.begin(), estados.end(), [&](const auto &izquierdo, const auto &derecho) {
            return numero(izquierdo.first).second < numero(derecho.first).second;
        });
    QStringList descripciones;
    for (const auto &estado : estados)
        descripciones << estado.second;
    return descripciones;
}

ResumenEstados resumePorEstado(const QStringList &encabezados, const std::vector<FilaParaResumen> &filas,
                               const QColor &colorDeTexto)
{
    return resumePorEstado(encabezados, filas, colorDeTexto, ordenDeEstadosDeLaSesion());
}

ResumenEstados resumePorEstado(const QStringList &encabezados, const std::vector<FilaParaResumen> &filas,
                               const QColor &colorDeTexto, const std::optional<QStringList> &orden)
{
    ResumenEstados resumen;
    const int columnaEstado = columnaTitulada(encabezados, QStringLiteral("Estado"));
    if (columnaEstado < 0)
        return resumen;
    const int columnaMonto = columnaTitulada(encabezados, QStringLiteral("Monto"));
    resumen.conMontos = columnaMonto >= 0 && columnaDeMontos(filas, columnaMonto);

    std::vector<Grupo> grupos;
    QHash<QString, size_t> grupoDe;
    for (const FilaParaResumen &fila : filas) {
        const QString estado = celda(fila.textos, columnaEstado).trimmed();
        const QString nombre = estado.isEmpty() ? SinEstado : estado;
        auto encontrado = grupoDe.constFind(nombre);
        if (encontrado == grupoDe.constEnd()) {
            encontrado = grupoDe.insert(nombre, grupos.size());
            grupos.push_back(Grupo{EstadoResumido{nombre, 0, 0, {}}, {}});
        }
        Grupo &grupo = grupos[*encontrado];
        ++grupo.resumen.cantidad;
        grupo.colores.cuenta(fila.color.value_or(colorDeTexto));
        if (!resumen.conMontos)
            continue;
        if (const std::optional<double> monto = leeMonto(celda(fila.textos, columnaMonto)))
            grupo.resumen.monto += *monto;
        else
            ++resumen.montosSinSumar;
    }

    resumen.estados.reserve(grupos.size());
    for (Grupo &grupo : grupos) {
        grupo.resumen.color = grupo.colores.masFrecuente();
        resumen.estados.push_back(std::move(grupo.resumen));
    }
    if (orden)
        ordenaPorEtapas(resumen.estados, *orden);
    else
        ordenaPorCantidad(resumen.estados);
    return resumen;
}

} // namespace Servicios
