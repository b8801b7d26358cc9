#include "servicios/accioneslista.h"

#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace Servicios::AccionesLista {
namespace {

constexpr int ErrorDeArchivo = 75;

// Logical column numbers of the visible columns, left to right as on screen.
std::vector<int> columnasVisibles(const Kit::ListView &lista)
{
    const QHeaderView &encabezado = *lista.header();
    std::vector<int> columnas;
    for (int visual = 0; visual < lista.columnCount(); ++visual) {
        const int logica = encabezado.logicalIndex(visual);
        if (logica >= 0 && logica < lista.columnCount() && !encabezado.isSectionHidden(logica))
            columnas.push_back(logica);
    }
    return columnas;
}

// The cells go out as the list shows them ("$45,000.00", "31/12/2026"): what the user chose
// to export is what he sees, and a spreadsheet set for Mexico reads both as figures and dates.
template<typename Campo>
QString tabla(const Kit::ListView &lista, QChar separador, const QString &finDeLinea, Campo campo)
{
    const std::vector<int> columnas = columnasVisibles(lista);
    const QStringList &encabezados = lista.listModel().headers();
    QString texto;
    const auto agregaLinea = [&](const auto &textoDeColumna) {
        for (size_t posicion = 0; posicion < columnas.size(); ++posicion) {
            if (posicion > 0)
                texto += separador;
            texto += campo(textoDeColumna(columnas[posicion]));
        }
        texto += finDeLinea;
    };
    agregaLinea([&](int columna) { return encabezados.at(columna); });
    const Kit::ListModel &modelo = lista.listModel();
    for (int fila = 0; fila < modelo.size(); ++fila) {
        agregaLinea([&](int columna) { return modelo.text(fila, columna); });
    }
    return texto;
}

// A spreadsheet takes a cell that begins with one of these as a formula, and a formula can
// run commands or send data away when the file is opened. Figures (a negative amount, as the
// list shows it: "-$1,234.50") stay figures.
bool pareceFormula(QStringView valor)
{
    static const QString iniciales = QStringLiteral("=+-@\t\r");
    static const QRegularExpression numero(QStringLiteral("^[+-]?\\$?[0-9][0-9,]*(\\.[0-9]+)?([eE][+-]?[0-9]+)?$"));
    return !valor.isEmpty() && iniciales.contains(valor.front()) && !numero.match(valor).hasMatch();
}

// A spreadsheet that splits lines at commas or at semicolons, whatever this file's separator,
// begins a cell after each of them (past the blanks it may trim), so what follows one must
// not be a formula either: "x,=cmd|' /C calc'!A0".
bool formulaTrasSeparador(const QString &dato)
{
    const auto esSeparador = [](QChar letra) { return letra == QLatin1Char(',') || letra == QLatin1Char(';'); };
    for (qsizetype separador = 0; separador < dato.size(); ++separador) {
        if (!esSeparador(dato.at(separador)))
            continue;
        qsizetype inicio = separador + 1;
        while (inicio < dato.size() && dato.at(inicio) == QLatin1Char(' '))
            ++inicio;
        qsizetype fin = inicio;
        while (fin < dato.size() && !esSeparador(dato.at(fin)))
            ++fin;
        if (pareceFormula(QStringView(dato).sliced(inicio, fin - inicio)))
            return true;
        separador = fin - 1;
    }
    return false;
}

// The cell as text, never a formula: a leading apostrophe, as a spreadsheet's user types one,
// on a cell that would begin one anywhere; quoted (its quotes doubled) when it holds the
// separator, a quote or a line break, or a formula inside, so a reader that honours
// quotes keeps it one cell.
QString campoCsv(const QString &dato)
{
    static const QString especiales = QStringLiteral(",\"\r\n");
    const bool formulaDentro = formulaTrasSeparador(dato);
    const QString valor = formulaDentro || pareceFormula(dato) ? QLatin1Char('\'') + dato : dato;
    const bool requiereComillas = formulaDentro || std::any_of(valor.cbegin(), valor.cend(), [](QChar letra) {
                                      return especiales.contains(letra);
                                  });
    if (!requiereComillas)
        return valor;
    QString doblado = valor;
    doblado.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doblado + QLatin1Char('"');
}

QString campoTabulado(const QString &valor)
{
    QString limpio = valor;
    for (QChar &letra : limpio) {
        if (letra == QLatin1Char('\t') || letra == QLatin1Char('\r') || letra == QLatin1Char('\n'))
            letra = QLatin1Char(' ');
    }
    return limpio;
}

} // namespace

QString textoCsv(const Kit::ListView &lista)
{
    return tabla(lista, QLatin1Char(','), QStringLiteral("\r\n"), campoCsv);
}

QString textoTabulado(const Kit::ListView &lista)
{
    return tabla(lista, QLatin1Char('\t'), QStringLiteral("\n"), campoTabulado);
}

// The file is replaced only by a complete one: a write the file system takes only part of (a
// full disk) is reported by its count alone, with no error, and must not be committed.
void guardaCsv(const Kit::ListView &lista, const QString &ruta)
{
    const QByteArray contenido = QByteArrayLiteral("\xEF\xBB\xBF") + textoCsv(lista).toUtf8();
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        Runtime::raise(ErrorDeArchivo,
                       QStringLiteral("No se pudo guardar el archivo %1: %2").arg(ruta, archivo.errorString()));
    const qint64 escritos = archivo.write(contenido);
    if (escritos != contenido.size()) {
        archivo.cancelWriting();
        Runtime::raise(ErrorDeArchivo,
                       QStringLiteral("No se pudo guardar el archivo %1: sólo se escribieron %2 de %3 "
                                      "bytes (¿está lleno el disco?). Si ya existía, quedó como estaba.")
                           .arg(ruta)
                           .arg(std::max<qint64>(escritos, 0))
                           .arg(contenido.size()));
    }
    if (!archivo.commit())
        Runtime::raise(ErrorDeArchivo,
                       QStringLiteral("No se pudo guardar el archivo %1: %2. Si ya existía, quedó como estaba.")
                           .arg(ruta, archivo.errorString()));
}

void copiaFilas(const Kit::ListView &lista)
{
    QGuiApplication::clipboard()->setText(textoTabulado(lista));
}

} // namespace Servicios::AccionesLista
