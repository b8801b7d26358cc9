// The forms' list view: items numbered from 1 in display order, looks per cell, one sort for the list.
#include "errores.h"

#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/error.h"
#include "runtime/settings.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

using Kit::ListRow;
using Kit::ListView;

using Pruebas::errorDe;

// The rows of a list, each written with its cells split at "|".
std::vector<ListRow> filas(const QStringList &renglones)
{
    std::vector<ListRow> resultado;
    for (const QString &renglon : renglones)
        resultado.push_back(ListRow{QString(), renglon.split('|')});
    return resultado;
}

QStringList columna(const ListView &lista, int numero)
{
    QStringList textos;
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon)
        textos << (numero == 0 ? lista.itemText(renglon) : lista.subItemText(renglon, numero));
    return textos;
}

void ordena(ListView &lista, int columna, Qt::SortOrder orden)
{
    lista.setSortKey(columna);
    lista.setSortOrder(orden);
    lista.setSorted(true);
}

class Lista : public testing::Test
{
protected:
    void SetUp() override
    {
        lista.replaceContents({"Folio", "Cliente", "Monto"},
                              filas({"F3|beta|20.00", "F1|Alfa|100.50", "F2|beta|9.99"}));
    }

    ListView lista;
    QAbstractItemModelTester probador{&lista.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(Lista, numbersItemsFromOneRefusesOthersWith35600AndEmptiesKeepingItsColumns)
{
    EXPECT_EQ(columna(lista, 0), (QStringList{"F3", "F1", "F2"}));
    EXPECT_EQ(std::pair(lista.subItemText(2, 2), lista.subItemCount(1)), std::pair(QString("100.50"), 2));
    for (const auto &fuera : std::vector<std::function<void()>>{
             [&] { lista.itemText(0); }, [&] { lista.itemText(4); }, [&] { lista.subItemText(1, 3); },
             [&] { lista.setSubItemForeColor(1, 3, 0); }, [&] { lista.selectItem(9); }})
        EXPECT_EQ(errorDe(fuera), Runtime::ErrorNumber::IndexOutOfBounds);
    lista.clearItems();
    EXPECT_EQ(std::pair(lista.itemCount(), lista.columnCount()), std::pair(0, 3));
}

// Colours and weight per cell; figures line up to the right.
TEST_F(Lista, keepsALookPerCellAndRefusesColoursItCannotShow)
{
    lista.setItemForeColor(1, 0x0000FF);
    lista.setSubItemBold(1, 2, true);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF);
    EXPECT_FALSE(lista.cellForeColor(1, 1).has_value());
    EXPECT_EQ(std::pair(lista.cellBold(1, 1), lista.cellBold(1, 2)), std::pair(false, true));
    const auto dato = [&](int columna, int papel) { return lista.listModel().index(0, columna).data(papel); };
    EXPECT_EQ(dato(0, Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(errorDe([&] { lista.setItemForeColor(1, 0x1000000); }), Runtime::ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF); // a refused colour leaves the old one
    EXPECT_FALSE(dato(1, Qt::TextAlignmentRole).isValid());
    EXPECT_EQ(dato(2, Qt::TextAlignmentRole).value<int>() & Qt::AlignRight, int(Qt::AlignRight));
}

// Rows that tie keep the order they arrived in, whatever the list was sorted by before.
TEST_F(Lista, sortsStablyByOneColumnAndKeepsTheSelectionOnItsRow)
{
    lista.selectItem(3); // F2
    ordena(lista, 0, Qt::AscendingOrder);
    ASSERT_EQ(columna(lista, 0), (QStringList{"F1", "F2", "F3"}));
    ordena(lista, 1, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F1", "F3", "F2"}));
    EXPECT_EQ(lista.itemText(lista.selectedIndex()), "F2");
    lista.setSortOrder(Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F3", "F2", "F1"}));
    // A new filling is put in the same order at once.
    lista.replaceContents({"Folio", "Cliente", "Monto"}, filas({"A|a|1", "B|c|2", "C|b|3"}));
    EXPECT_EQ(columna(lista, 1), (QStringList{"c", "b", "a"}));
}

// Figures and dates as a Mexican list shows them ("$9,000.00", "31/12/2025") sort by value;
// text as Mexican Spanish collates it.
TEST_F(Lista, sortsNumbersAsNumbersDatesAsDatesAndTextInSpanishOrder)
{
    lista.replaceContents({"Folio", "Monto", "Cierre"},
                          filas({"OP-10|$10,000.00|01/12/2026", "OP-9|$9,000.00|15/01/2026",
                                 "OP-100|$950.50|31/12/2025 17:30", "OP-11||30/06/2026", "OP-2|-$5.00|15/01/2026"}));
    ordena(lista, 1, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 1), (QStringList{"", "-$5.00", "$950.50", "$9,000.00", "$10,000.00"}));
    ordena(lista, 2, Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-9", "OP-2", "OP-11", "OP-10"})); // ties by arrival
    ordena(lista, 0, Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-11", "OP-10", "OP-9", "OP-2"}));

    // Numbers inside the text by value; letter case aside (those rows tie, and keep the order
    // they arrived in); a word with accents right after the same word without them; ñ a
    // letter of its own between n and o.
    const std::pair<QStringList, QStringList> textos[] = {
        {{"a10", "A9", "a9", "a1"}, {"a1", "A9", "a9", "a10"}},
        {{"Éxito", "exito", "Ezequiel", "Exito", "éxtasis"}, {"exito", "Exito", "Éxito", "éxtasis", "Ezequiel"}},
        {{"Ñandú", "oso", "nube", "Nz"}, {"nube", "Nz", "Ñandú", "oso"}},
    };
    lista.setSortOrder(Qt::AscendingOrder);
    for (const auto &[llegada, orden] : textos) {
        lista.replaceContents({"Texto"}, filas(llegada));
        EXPECT_EQ(columna(lista, 0), orden);
    }
}

TEST_F(Lista, aColumnIsANumberOrADateWhenEveryFilledCellReadsAsOne)
{
    using Kind = Kit::TextTable::ColumnKind;
    // Each column's cells, split at ";".
    const std::pair<Kind, QStringList> casos[] = {
        {Kind::Number, {"12;-3,400.50;;0.5", "$1,234.50;-$5.00;7"}},
        {Kind::Date, {"2026-01-31;2026-02-01 10:20:30", "31/01/2026;01/02/2026 10:20;02/02/2026 10:20:30"}},
        {Kind::Text,
         {"12;1.", ".5", "1-2", "$;$-5", "2026-1-31", "2026-01-31 10:20", ";", "31/1/2026", "31/01/2026 10"}},
    };
    for (const auto &[tipo, columnas] : casos) {
        for (const QString &celdas : columnas) {
            lista.replaceContents({"Valor"}, filas(celdas.split(';')));
            EXPECT_EQ(lista.listModel().columnKind(0), tipo) << celdas.toStdString();
        }
    }
}

// A cell of a megabyte is shown cut to a page of text; the item's text stays whole.
TEST_F(Lista, showsAHugeCellCutButKeepsItWhole)
{
    const QString enorme = QString(1'000'000, 'x');
    lista.replaceContents({"Folio", "Nota"}, filas({"F1|" + enorme}));
    const QModelIndex celda = lista.listModel().index(0, 1);
    const QString mostrado = celda.data(Qt::DisplayRole).toString();
    EXPECT_EQ(mostrado, enorme.first(Kit::ListModel::shownLength) + QChar(0x2026));
    EXPECT_EQ(celda.data(Qt::ToolTipRole).toString(), mostrado);
    EXPECT_EQ(lista.subItemText(1, 1), enorme);
}

// What the user made of the columns (widths, their order, the sort) is kept under the list's
// layout key, per key, and comes back for the same columns in a new list.
TEST(ListLayout, theUsersWidthsOrderAndSortComeBackPerKeyForTheSameColumns)
{
    const QStringList columnas{"Folio", "Cliente", "Monto"};
    const auto llena = [&](ListView &lista, const QString &clave, const QStringList &encabezados) {
        lista.setLayoutKey(QStringLiteral("Pruebas/Listas/") + clave);
        lista.replaceContents(encabezados, filas({"F1|b|$2.00", "F2|a|$10.00", "F3|c|$1.00"}));
        return lista.restoreLayout();
    };
    // The second column's width, where the third is shown, the sort, and the rows.
    const auto disposicion = [](const ListView &lista) {
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(lista.header()->sectionSize(1))
            .arg(lista.header()->visualIndex(2))
            .arg(lista.sorted() ? QString::number(lista.sortKey()) : "-")
            .arg(lista.sortOrder() == Qt::DescendingOrder ? "desc" : "asc")
            .arg(columna(lista, 0).join(','));
    };
    { // a user widens a column, moves another and sorts one, with the mouse on the header
        ListView lista;
        EXPECT_FALSE(llena(lista, "A", columnas));
        lista.header()->resizeSection(1, 222);
        lista.header()->moveSection(2, 0);
        ordena(lista, 2, Qt::DescendingOrder);
        QMouseEvent soltar(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(lista.header()->viewport(), &soltar);
        QCoreApplication::processEvents();
        EXPECT_FALSE(llena(lista, "B", columnas));                    // another key, nothing kept
        EXPECT_TRUE(disposicion(lista).endsWith(" - desc F1,F2,F3")); // unsorted, as they came
    }
    ListView nueva, otra;
    const bool mismas = llena(nueva, "A", columnas);
    const bool otrasColumnas = llena(otra, "A", {"Folio", "Cliente", "Importe"});
    Runtime::removeSettings("Pruebas", "Listas");
    EXPECT_EQ(std::pair(mismas, otrasColumnas), std::pair(true, false));
    EXPECT_EQ(disposicion(nueva), "222 0 2 desc F2,F1,F3"); // rows sorted by value
}

} // namespace
