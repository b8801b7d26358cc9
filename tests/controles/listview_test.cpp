// The forms' list view: items numbered from 1 in display order, looks per cell, one sort
// setting for the whole list.
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

using Controles::ListRow;
using Controles::ListView;

std::vector<ListRow> filas(const std::vector<QStringList> &textos)
{
    std::vector<ListRow> resultado;
    for (const QStringList &texto : textos)
        resultado.push_back(ListRow{QString(), texto});
    return resultado;
}

QStringList columna(const ListView &lista, int numero)
{
    QStringList textos;
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon)
        textos << (numero == 0 ? lista.itemText(renglon) : lista.subItemText(renglon, numero));
    return textos;
}

using Pruebas::errorDe;

class Lista : public testing::Test
{
protected:
    void SetUp() override
    {
        lista.replaceContents({"Folio", "Cliente", "Monto"},
                              filas({{"F3", "beta", "20.00"}, {"F1", "Alfa", "100.50"}, {"F2", "beta", "9.99"}}));
    }

    ListView lista;
    QAbstractItemModelTester probador{&lista.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(Lista, numbersItemsFromOneAndRefusesOthersWith35600)
{
    EXPECT_EQ(lista.itemCount(), 3);
    EXPECT_EQ(lista.columnCount(), 3);
    EXPECT_EQ(lista.itemText(1), QStringLiteral("F3"));
    EXPECT_EQ(lista.subItemText(2, 2), QStringLiteral("100.50"));
    EXPECT_EQ(lista.subItemCount(1), 2);
    for (const auto &fuera : std::vector<std::function<void()>>{
             [&] { lista.itemText(0); }, [&] { lista.itemText(4); }, [&] { lista.subItemText(1, 3); },
             [&] { lista.setSubItemForeColor(1, 3, 0); }, [&] { lista.selectItem(9); }}) {
        EXPECT_EQ(errorDe(fuera), Runtime::ErrorNumber::IndexOutOfBounds);
    }
}

TEST_F(Lista, keepsALookPerCellAndRefusesColoursItCannotShow)
{
    lista.setItemForeColor(1, 0x0000FF);
    lista.setSubItemBold(1, 2, true);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF);
    EXPECT_FALSE(lista.cellForeColor(1, 1).has_value());
    EXPECT_TRUE(lista.cellBold(1, 2));
    EXPECT_FALSE(lista.cellBold(1, 1));
    EXPECT_EQ(lista.listModel().data(lista.listModel().index(0, 0), Qt::ForegroundRole).value<QColor>(),
              QColor(255, 0, 0));
    EXPECT_EQ(errorDe([&] { lista.setItemForeColor(1, 0x1000000); }), Runtime::ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(errorDe([&] { lista.setItemForeColor(1, -1); }), Runtime::ErrorNumber::InvalidPropertyValue);
    EXPECT_EQ(lista.cellForeColor(1, 0), 0x0000FF); // a refused colour leaves the old one
}

TEST_F(Lista, sortsStablyByOneColumnAndKeepsTheSelectionOnItsRow)
{
    lista.selectItem(3); // F2
    lista.setSortKey(1);
    lista.setSortOrder(Qt::AscendingOrder);
    lista.setSorted(true);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F1", "F3", "F2"})); // ties keep their order
    EXPECT_EQ(lista.itemText(lista.selectedIndex()), QStringLiteral("F2"));
    lista.setSortOrder(Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F3", "F2", "F1"}));

    // A new filling is put in the same order at once.
    lista.replaceContents({"Folio", "Cliente", "Monto"}, filas({{"A", "a", "1"}, {"B", "c", "2"}, {"C", "b", "3"}}));
    EXPECT_EQ(columna(lista, 1), (QStringList{"c", "b", "a"}));
}

// Figures and dates as a Mexican list shows them ("$9,000.00", "31/12/2025") sort by value.
TEST_F(Lista, sortsNumbersAsNumbersDatesAsDatesAndTextInSpanishOrder)
{
    lista.replaceContents({"Folio", "Cliente", "Monto", "Cierre"},
                          filas({{"OP-10", "Ñandú", "$10,000.00", "01/12/2026"},
                                 {"OP-9", "nube", "$9,000.00", "15/01/2026"},
                                 {"OP-100", "Árbol", "$950.50", "31/12/2025 17:30"},
                                 {"OP-11", "arbol", "", "30/06/2026"},
                                 {"OP-2", "Zapata", "-$5.00", "15/01/2026"}}));
    lista.setSorted(true);
    lista.setSortKey(2);
    lista.setSortOrder(Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 2), (QStringList{"", "-$5.00", "$950.50", "$9,000.00", "$10,000.00"}));
    lista.setSortKey(3);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-9", "OP-2", "OP-11", "OP-10"})); // ties by arrival
    lista.setSortKey(1);
    // Accents and letter case aside "Árbol" and "arbol" tie, and keep their arrival order;
    // ñ is a letter of its own after n.
    EXPECT_EQ(columna(lista, 1), (QStringList{"Árbol", "arbol", "nube", "Ñandú", "Zapata"}));
    lista.setSortKey(0);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-2", "OP-9", "OP-10", "OP-11", "OP-100"}));
    lista.setSortOrder(Qt::DescendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"OP-100", "OP-11", "OP-10", "OP-9", "OP-2"}));
}

TEST_F(Lista, rowsThatTieKeepTheOrderTheyArrivedInWhateverWasSortedBefore)
{
    lista.replaceContents({"Folio", "Estado"},
                          filas({{"F1", "b"}, {"F2", "a"}, {"F3", "b"}, {"F4", "a"}, {"F5", "B"}}));
    lista.setSorted(true);
    lista.setSortKey(0);
    lista.setSortOrder(Qt::DescendingOrder);
    ASSERT_EQ(columna(lista, 0), (QStringList{"F5", "F4", "F3", "F2", "F1"}));
    lista.setSortKey(1);
    lista.setSortOrder(Qt::AscendingOrder);
    EXPECT_EQ(columna(lista, 0), (QStringList{"F2", "F4", "F1", "F3", "F5"}));
}

TEST_F(Lista, selectionAndClearing)
{
    EXPECT_EQ(lista.selectedIndex(), 0);
    lista.selectItem(2);
    EXPECT_EQ(lista.selectedIndex(), 2);
    lista.clearSelection();
    EXPECT_EQ(lista.selectedIndex(), 0);
    lista.clearItems();
    EXPECT_EQ(lista.itemCount(), 0);
    EXPECT_EQ(lista.columnCount(), 3);
}

TEST_F(Lista, aColumnIsANumberOrADateWhenEveryFilledCellReadsAsOne)
{
    using Kind = Controles::TextTable::ColumnKind;
    const std::vector<std::pair<QStringList, Kind>> casos = {
        {{"12", "-3,400.50", "", "0.5"}, Kind::Number},
        {{"12", "1."}, Kind::Text},
        {{".5"}, Kind::Text},
        {{"1-2"}, Kind::Text},
        {{"$1,234.50", "-$5.00", "7"}, Kind::Number},
        {{"$", "$-5"}, Kind::Text},
        {{"2026-01-31", "2026-02-01 10:20:30"}, Kind::Date},
        {{"2026-1-31"}, Kind::Text},
        {{"2026-01-31 10:20"}, Kind::Text},
        {{"", ""}, Kind::Text},
        {{"31/01/2026", "01/02/2026 10:20", "02/02/2026 10:20:30"}, Kind::Date},
        {{"31/1/2026"}, Kind::Text},
        {{"31/01/2026 10"}, Kind::Text},
    };
    for (const auto &[textos, tipo] : casos) {
        SCOPED_TRACE(textos.join(QLatin1Char('|')).toStdString());
        std::vector<ListRow> renglones;
        for (const QString &texto : textos)
            renglones.push_back(ListRow{QString(), {texto}});
        lista.replaceContents({"Valor"}, renglones);
        EXPECT_EQ(lista.listModel().columnKind(0), tipo);
    }
}

TEST_F(Lista, linesNumberColumnsUpToTheRight)
{
    const auto alineacion = [&](int columnaModelo) {
        return lista.listModel().data(lista.listModel().index(0, columnaModelo), Qt::TextAlignmentRole);
    };
    EXPECT_FALSE(alineacion(0).isValid());
    EXPECT_FALSE(alineacion(1).isValid());
    EXPECT_EQ(alineacion(2).value<int>() & Qt::AlignRight, int(Qt::AlignRight));
}

} // namespace

namespace {

// A cell of a megabyte is shown cut to a page of text; the item's text stays whole.
TEST_F(Lista, showsAHugeCellCutButKeepsItWhole)
{
    const QString enorme = QString(1'000'000, QLatin1Char('x'));
    lista.replaceContents({"Folio", "Nota"}, filas({{"F1", enorme}}));
    const QModelIndex celda = lista.listModel().index(0, 1);
    const QString mostrado = celda.data(Qt::DisplayRole).toString();
    EXPECT_EQ(mostrado.size(), Controles::ListModel::shownLength + 1);
    EXPECT_TRUE(mostrado.endsWith(QChar(0x2026)));
    EXPECT_EQ(celda.data(Qt::ToolTipRole).toString(), mostrado);
    EXPECT_EQ(lista.subItemText(1, 1), enorme);
}

} // namespace

namespace {

// What the user made of the columns (widths, their order, the sort) is kept under the list's
// layout key, per key, and comes back for the same columns in a new list.
TEST(ListLayout, theUsersWidthsOrderAndSortComeBackPerKeyForTheSameColumns)
{
    const QStringList columnas{"Folio", "Cliente", "Monto"};
    const auto llena = [&](ListView &lista, const QString &clave, const QStringList &encabezados) {
        lista.setLayoutKey(clave);
        lista.replaceContents(encabezados, filas({{"F1", "b", "$2.00"}, {"F2", "a", "$10.00"}, {"F3", "c", "$1.00"}}));
        return lista.restoreLayout();
    };
    const auto disposicion = [](const ListView &lista) {
        return QStringList{QString::number(lista.header()->sectionSize(1)),
                           QString::number(lista.header()->visualIndex(2)),
                           lista.sorted() ? QString::number(lista.sortKey()) : QStringLiteral("-"),
                           lista.sortOrder() == Qt::DescendingOrder ? QStringLiteral("desc") : QStringLiteral("asc")}
            .join(QLatin1Char(' '));
    };
    {
        // Given a user who widened a column, moved another and sorted one, with the mouse on the header
        ListView lista;
        EXPECT_FALSE(llena(lista, QStringLiteral("Pruebas/Listas/A"), columnas));
        lista.header()->resizeSection(1, 222);
        lista.header()->moveSection(2, 0);
        lista.setSortKey(2);
        lista.setSortOrder(Qt::DescendingOrder);
        lista.setSorted(true);
        QMouseEvent soltar(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(lista.header()->viewport(), &soltar);
        QCoreApplication::processEvents();
        // and another key with nothing kept
        EXPECT_FALSE(llena(lista, QStringLiteral("Pruebas/Listas/B"), columnas));
        EXPECT_EQ(disposicion(lista).section(QLatin1Char(' '), 2, 2), QStringLiteral("-"));
        EXPECT_EQ(columna(lista, 0), (QStringList{"F1", "F2", "F3"})); // rows as they came
    }

    // When a new list shows the same columns under the first key, then under a key whose
    // columns were others
    ListView nueva;
    ASSERT_TRUE(llena(nueva, QStringLiteral("Pruebas/Listas/A"), columnas));
    const QString recuperada = disposicion(nueva);
    ListView otra;
    const bool otrasColumnas = llena(otra, QStringLiteral("Pruebas/Listas/A"), {"Folio", "Cliente", "Importe"});
    Runtime::removeSettings(QStringLiteral("Pruebas"), QStringLiteral("Listas"));

    // Then the first comes back as the user left it, rows sorted by value, and the other not
    EXPECT_EQ(recuperada, QStringLiteral("222 0 2 desc"));
    EXPECT_EQ(columna(nueva, 0), (QStringList{"F2", "F1", "F3"}));
    EXPECT_FALSE(otrasColumnas);
}

} // namespace
