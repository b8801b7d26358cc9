#pragma once

#include "controles/controles_export.h"
#include "controles/listmodel.h"
#include "controles/listupdate.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QHeaderView;
class QMenu;
class QPainter;

namespace Kit {

class ListHeader;

// The report-style list view of the forms. Items are numbered from 1 in display order;
// sub-items from 1 (column 0 is the item's own text). Filling, styling and sorting cost
// time linear (sorting: n log n) in the number of cells. Sorting compares numbers as
// numbers, dates as dates and text as Mexican Spanish collates it (numbers inside text by
// value, letter case aside); rows that tie keep the order in which they arrived. A bad index
// raises 35600, a colour the list cannot show raises 380. The view keeps nothing per row:
// showing, sorting and filtering millions of rows costs the screenful shown.
class CONTROLES_EXPORT ListView : public QAbstractItemView
{
    Q_OBJECT
    // See "Layout" below.
    Q_PROPERTY(QString layoutKey READ layoutKey WRITE setLayoutKey)
    // See "Empty view" below.
    Q_PROPERTY(QString emptyText READ emptyText WRITE setEmptyText)

public:
    explicit ListView(QWidget *parent = nullptr);
    ~ListView() override;

    // Columns
    int columnCount() const;
    QString columnHeader(int column) const;
    void setColumns(const QStringList &headers);
    // The title of a column (0 = the first) as its header shows it: ended in "…" when the
    // column is too narrow for it.
    QString shownHeader(int column) const;

    // Replaces columns and rows at once; the sort settings stay and are applied.
    void replaceContents(const QStringList &headers, const std::vector<ListRow> &rows);
    // The rows shown, their columns and sort settings, for a reader that compares a new
    // result with them while the list goes on showing them.
    ListSnapshot snapshot() const;
    // Applies what a reader found: new rows (sorted as the list sorts), or new texts for some
    // of the rows shown, which keep their looks' place and the view its place.
    void apply(ListUpdate update);

    // Items
    int itemCount() const;
    QString itemText(int index) const;
    QString itemKey(int index) const;
    // The number of sub-items the row was given (its cells beyond the first).
    int subItemCount(int index) const;
    QString subItemText(int index, int subItem) const;
    int addItem(const QString &key, const QString &text, const QStringList &subItems = {});
    void clearItems();

    // Looks. A row starts in the default look (no colour of its own, normal weight).
    void setItemForeColor(int index, qint32 colorReference);
    void setItemBold(int index, bool bold);
    void setSubItemForeColor(int index, int subItem, qint32 colorReference);
    void setSubItemBold(int index, int subItem, bool bold);
    // The looks of many rows at once (index 0 is item 1): each row that has one gets it in
    // every cell; no colour is the default colour. Raises 380 for a colour the list cannot
    // show, before changing anything.
    struct RowLook
    {
        std::optional<qint32> colorReference;
        bool bold = false;

        bool operator==(const RowLook &) const = default;
    };
    void setRowLooks(const std::vector<std::optional<RowLook>> &looks);
    // Every row's look at once, the rows in the order they arrived in their filling: row i
    // takes looks[lookOfRow[i]]. A few distinct looks cost four bytes a row.
    void setEveryRowLook(const std::vector<RowLook> &looks, std::vector<int> lookOfRow);
    // The looks of some rows alone, by their places in arrival order; the others keep theirs.
    void setRowLooksInArrivalOrder(const std::vector<int> &rows, const std::vector<RowLook> &looks);
    std::optional<qint32> cellForeColor(int index, int column) const;
    bool cellBold(int index, int column) const;

    // Selection: 0 when no item is selected. An item the quick filter hides cannot be
    // selected: selecting it clears the selection.
    int selectedIndex() const;
    void selectItem(int index);
    void clearSelection();
    void ensureVisible(int index);
    // Where the item is drawn in the viewport; empty when it is hidden.
    QRect itemRect(int index) const;

    // Quick filter: shows only the items with a cell that contains the text, accents and
    // letter case aside; an empty text shows them all. It is the view's alone: items keep
    // their numbers, and the count, the looks and the texts of every item stay as they are;
    // it holds through new fillings. shownItemsChanged() follows any change of the items shown.
    QString quickFilter() const { return m_model->filter(); }
    void setQuickFilter(const QString &text);
    int shownItemCount() const { return m_model->shownCount(); }
    bool isItemShown(int index) const;

    // Sorting settings of the control: on or off, the column (0 = item text, k = sub-item k)
    // and one order for the whole list.
    bool sorted() const { return m_sorted; }
    void setSorted(bool sorted);
    int sortKey() const { return m_sortKey; }
    void setSortKey(int column);
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void setSortOrder(Qt::SortOrder order);

    // The rows in display order (a pending sort is applied first).
    ListModel &listModel() const;

    // The columns' titles, widths, order and visibility.
    QHeaderView *header() const;
    void setColumnHidden(int column, bool hide);
    bool isColumnHidden(int column) const;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void reset() override;
    int sizeHintForColumn(int column) const override;

    // Empty view: what the list says, centred in its empty area, when it has columns but no
    // rows ("No hay oportunidades en esta vista"), so an empty result does not look like a
    // list that failed to show. The list is generic: its owner says what it holds; without a
    // text it says nothing. Rows the quick filter hides all are said so ("Ninguna fila contiene
    // «zzz»").
    QString emptyText() const { return m_emptyText; }
    void setEmptyText(const QString &text);

    // Column chooser: the header's context menu lists the columns as they stand on screen,
    // each checked while shown. The first column (the row's key) is always shown. A column
    // hidden or shown again is kept with the layout; hiding is the view's alone: the items,
    // their texts and the selection stay as they are. The menu is the list's, rebuilt on
    // each call.
    QMenu *columnsMenu();

    // Layout. The columns' widths and order and how the rows are sorted are the user's: with
    // a layout key ("<application>/<section>", e.g. "KLD251/lvOrdenes/TODOS") they are kept in
    // that application's settings (Runtime::saveSettings) whenever the user changes them (drags
    // a column's edge or the column itself, clicks a header), so they come back after a
    // reload, another view or a new start; so are the columns the user hid. Filling and
    // fitting the list keep nothing.
    QString layoutKey() const { return m_layoutKey; }
    void setLayoutKey(const QString &key) { m_layoutKey = key; }
    // Whether the key changed since its layout was last brought back.
    bool layoutKeyChanged() const { return m_layoutKey != m_restoredKey; }
    // Brings back the layout kept under the key for the columns shown. False when none is kept
    // for them; then, with a key, the rows are shown unsorted, in the order they arrived.
    bool restoreLayout();
    void saveLayout() const;
    // Where the layouts of every list of the process are kept apart (the session's database,
    // so one view on two databases keeps two layouts); none keeps them under their keys alone.
    static void setLayoutScope(const QString &scope);

    // What the rows are: the name a file exported from the list carries (the view shown),
    // and the statement whose result fills it, empty when none or when it could not be read.
    QString exportName() const { return m_exportName; }
    void setExportName(const QString &name) { m_exportName = name; }
    QString sourceStatement() const { return m_sourceStatement; }
    void setSourceStatement(const QString &statement) { m_sourceStatement = statement; }

Q_SIGNALS:
    // 1-based index of the clicked header in the column collection.
    void columnClick(int column);
    void dblClick();
    void keyDown(int keyCode, int shift);
    void shownItemsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void setUpRows();
    void columnsChanged();
    void updateRowRange();
    void rowsChanged();
    int rowHeight() const;
    int topRow() const;
    int rowsPerPage() const;
    int shownRows() const;
    QRect rowRect(int row) const;
    void paintRows(QPainter &painter, const QRect &area) const;

    void applySort();
    void ensureSorted() const;
    int checkedRow(int index) const;
    void showColumnAgain(int column);
    // After columns were hidden or shown again: the quick filter looks at the columns shown.
    void filterShownColumns();

    std::unique_ptr<ListModel> m_model;
    ListHeader *m_header;        // owned by the list
    mutable int m_rowHeight = 0; // measured again after any change of font or style
    bool m_sorted = false;
    int m_sortKey = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // Changing the key, the flag and the order in a row sorts once: the rows are put in
    // order when they are next read, or when the event loop comes round.
    mutable bool m_sortPending = false;
    bool m_sortQueued = false;
    QString m_layoutKey;
    QString m_restoredKey;
    QString m_exportName;
    QString m_sourceStatement;
    QString m_emptyText;
    QPointer<QMenu> m_columnsMenu; // owned by the list
};

} // namespace Kit
