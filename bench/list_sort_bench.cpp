// list_sort_bench: a list's sort by one text column, 200,000 rows of folios, contact names
// and descriptions, against the floor of plain Qt in the same run: the collation key of every
// row's text and a stable sort of the rows by those keys. Prints one line per measurement:
// "name value unit".
//   list_sort_bench [--rows 200000] [--proxy]
// --proxy also times a QSortFilterProxyModel sorting a QStandardItemModel of the same texts
// (locale aware; seconds a column).
#include "medicion.h"

#include "controles/texttable.h"
#include "runtime/regional.h"

#include <QCollator>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

using namespace Banco;

constexpr int veces = 5;

// Texts as a sales team writes them: every folio distinct, names repeated across a few
// thousand contacts, descriptions mostly distinct with numbers inside them.
std::vector<QStringList> renglones(int filas)
{
    const QStringList nombres{"José",   "María", "Ángel",    "Lucía", "Íñigo",  "Sofía", "Andrés",
                              "Begoña", "Raúl",  "Verónica", "Óscar", "Julián", "Ana",   "Luis",
                              "Ximena", "Ñeco",  "Elena",    "Jesús", "Mónica", "Tomás"};
    const QStringList apellidos{"Núñez", "Pérez",     "Muñoz",   "García",  "López",     "Hernández", "Martínez",
                                "Gómez", "Ibáñez",    "Álvarez", "Ortega",  "Castañeda", "Zúñiga",    "de la Peña",
                                "Ruiz",  "Velázquez", "Díaz",    "Sánchez", "Ramírez",   "Cruz"};
    const QStringList temas{"Renovación de licencias", "Mantenimiento anual", "Equipo de cómputo",
                            "Capacitación técnica",    "Póliza de soporte",   "Migración de servidores",
                            "Cableado estructurado",   "Consultoría fiscal"};
    const QStringList lugares{"sucursal", "planta", "oficina", "almacén", "bodega"};
    std::mt19937 azar(251);
    std::vector<int> folios(static_cast<size_t>(filas));
    std::iota(folios.begin(), folios.end(), 1);
    std::shuffle(folios.begin(), folios.end(), azar);
    const auto uno = [&](const QStringList &de) { return de.at(qsizetype(azar() % quint32(de.size()))); };
    std::vector<QStringList> textos;
    textos.reserve(size_t(filas));
    for (const int folio : folios) {
        const QString nombre = uno(nombres) + QLatin1Char(' ') + uno(apellidos) + QLatin1Char(' ') + uno(apellidos);
        const QString descripcion = QStringLiteral("%1 %2 %3").arg(uno(temas), uno(lugares)).arg(azar() % 400 + 1);
        textos.push_back({QStringLiteral("OP-%1").arg(folio), nombre, descripcion});
    }
    return textos;
}

QCollator colacion()
{
    QCollator espanol(Runtime::mexicanLocale());
    espanol.setNumericMode(true);
    espanol.setCaseSensitivity(Qt::CaseInsensitive);
    return espanol;
}

// Plain Qt: the key of every row's text, then the rows stably sorted by them.
double piso(const std::vector<QStringList> &textos, int columna, const QCollator &espanol)
{
    return milisegundosDe([&] {
        std::vector<QCollatorSortKey> claves;
        claves.reserve(textos.size());
        for (const QStringList &renglon : textos)
            claves.push_back(espanol.sortKey(renglon.at(columna)));
        std::vector<int> orden(textos.size());
        std::iota(orden.begin(), orden.end(), 0);
        std::stable_sort(orden.begin(), orden.end(),
                         [&](int a, int b) { return claves[size_t(a)].compare(claves[size_t(b)]) < 0; });
    });
}

// Plain Qt with the keys already made: the sort alone.
double soloElOrden(const std::vector<QStringList> &textos, int columna, const QCollator &espanol)
{
    std::vector<QCollatorSortKey> claves;
    claves.reserve(textos.size());
    for (const QStringList &renglon : textos)
        claves.push_back(espanol.sortKey(renglon.at(columna)));
    return medianaDe(
        veces, [] {},
        [&] {
            std::vector<int> orden(textos.size());
            std::iota(orden.begin(), orden.end(), 0);
            std::stable_sort(orden.begin(), orden.end(),
                             [&](int a, int b) { return claves[size_t(a)].compare(claves[size_t(b)]) < 0; });
        });
}

double conProxy(const std::vector<QStringList> &textos, int columna)
{
    QStandardItemModel modelo(int(textos.size()), 1);
    for (size_t renglon = 0; renglon < textos.size(); ++renglon)
        modelo.setItem(int(renglon), 0, new QStandardItem(textos[renglon].at(columna)));
    QSortFilterProxyModel proxy;
    proxy.setSortLocaleAware(true);
    proxy.setSortCaseSensitivity(Qt::CaseInsensitive);
    proxy.setSourceModel(&modelo);
    return milisegundosDe([&] { proxy.sort(0); });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication aplicacion(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption filas(QStringLiteral("rows"), QStringLiteral("Renglones"), QStringLiteral("n"),
                                   QStringLiteral("200000"));
    const QCommandLineOption proxy(QStringLiteral("proxy"), QStringLiteral("También QSortFilterProxyModel"));
    parser.addHelpOption();
    parser.addOptions({filas, proxy});
    parser.process(aplicacion);

    const int cuantas = parser.value(filas).toInt();
    const std::vector<QStringList> textos = renglones(cuantas);
    Kit::TextTable tabla;
    tabla.reserve(cuantas);
    for (const QStringList &renglon : textos)
        tabla.appendRow(std::span<const QString>(renglon.constData(), size_t(renglon.size())));
    const QCollator espanol = colacion();
    const Corrida corrida{cuantas, QStringLiteral("qt")};
    const QStringList columnas{QStringLiteral("folio"), QStringLiteral("name"), QStringLiteral("description")};
    for (int columna = 0; columna < columnas.size(); ++columna) {
        const QString &que = columnas.at(columna);
        const Razon razon = razonAlPiso(
            veces, [&] { return piso(textos, columna, espanol); },
            Lado{.mide = [&] { tabla.sortedRows(columna, Qt::AscendingOrder); }});
        imprime(corrida.nombre(QStringLiteral("list_sort_%1").arg(que)), razon.tiempo, QStringLiteral("ms"));
        imprime(corrida.nombre(QStringLiteral("list_sort_%1_floor").arg(que)), razon.piso, QStringLiteral("ms"));
        imprime(corrida.nombre(QStringLiteral("list_sort_%1_ratio").arg(que)), razon.razon, QStringLiteral("x"));
        imprime(corrida.nombre(QStringLiteral("list_sort_%1_keys_made").arg(que)),
                soloElOrden(textos, columna, espanol), QStringLiteral("ms"));
        if (parser.isSet(proxy))
            imprime(corrida.nombre(QStringLiteral("list_sort_%1_proxy").arg(que)), conProxy(textos, columna),
                    QStringLiteral("ms"));
    }
    return 0;
}
