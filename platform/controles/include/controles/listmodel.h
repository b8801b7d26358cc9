#pragma once

#include "controles/controles_export.h"
#include "controles/listupdate.h"
#include "controles/texttable.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHash>

#include <memory>
#include <optional>
#include <vector>

namespace Kit {

// One row as it is filled: its key and its cell texts (the first is the item's own text,
// the others its sub-items).
struct ListRow
{
    QString key;
    QStringList texts;
};

// The rows of a list view with their looks. The texts live in a shared table in the order
// the rows arrived; the model keeps the order they are shown in (nothing while that is the
// order they arrived), each distinct look once with a number per row, and the few cells
// whose look differs from their row's. Looks are colour references resolved to a brush and
// a font only when the view asks. Taking a new table and every row's look cost no step per
// row, so a list of millions changes without a pause.
class CONTROLES_EXPORT ListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct CellLook
    {
        qint32 color = 0;
        bool hasColor = false;
        bool bold = false;

        bool operator==(const CellLook &) const = default;
    };

    explicit ListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QStringList &headers() const { return m_headers; }
    void setHeaders(const QStringList &headers);

    // The rows by the place they are shown in (0 is the first row shown).
    int size() const { return m_rows; }
    const QString &text(int position, int column) const { return m_table->text(rowAt(position), column); }
    // The text as the list shows it: a cell longer than a screen can hold is cut, so that
    // painting and measuring it cost no more than a page of text, and a character that
    // changes the direction of the text around it is shown as its code ("‹U+202E›"), so no
    // cell can pass for another; copies and exports take text(), whole and as stored.
    static constexpr qsizetype shownLength = 4000;
    QString shownText(int position, int column) const;
    // How many texts the row was given.
    int textCount(int position) const { return m_table->textCount(rowAt(position)); }
    const QString &key(int position) const { return m_table->key(rowAt(position)); }
    TextTable::ColumnKind columnKind(int column) const { return m_table->columnKind(column); }
    CellLook look(int position, int column) const;

    // The texts shown, in the order the rows arrived; a reader may keep it while it reads.
    std::shared_ptr<const TextTable> table() const { return m_table; }
    // The place a row of the table is shown in, and the row shown at a place.
    int positionOf(int row) const { return m_position.empty() ? row : m_position[size_t(row)]; }
    int rowAt(int position) const { return m_order.empty() ? position : m_order[size_t(position)]; }

    // New rows in the given display order (none: as they arrived); rows start in the
    // default look.
    void replace(const QStringList &headers, std::shared_ptr<TextTable> table, std::vector<int> order = {});
    // New texts for rows that keep their place; each changed row starts over in the default
    // look. Returns the rows whose texts changed.
    std::vector<int> changeRows(const std::vector<ListUpdate::RowChange> &changes);
    void append(const ListRow &row);
    void clearRows();

    void setLook(int position, int column, const CellLook &look);
    // The look of every cell of each row that has one (by the row's place in the table, the
    // order the rows arrived); only the rows whose look changes are announced.
    void setRowLooks(const std::vector<std::optional<CellLook>> &lookOfRow);
    // Every row's look at once: row i of the table takes looks[lookOfRow[i]]. Numbers for
    // every row, each of a look, are taken as they are.
    void setEveryRowLook(const std::vector<CellLook> &looks, std::vector<int> lookOfRow);
    // The same for some rows alone: `rows[i]` takes `looks[i]`.
    void setRowLooks(const std::vector<int> &rows, const std::vector<CellLook> &looks);

    // Quick filter: the views are shown only the rows with a cell that contains the text,
    // accents and letter case aside, among the columns marked in `columns` (every column when
    // it is empty); an empty text shows every row. Places (size(), text(),
    // key()) go on counting every row in display order; the model's own rows (rowCount(),
    // index()) are the rows shown. Rows whose texts change, and new rows, are shown or hidden
    // as they match.
    void setFilter(const QString &text, const std::vector<char> &columns = {});
    const QString &filter() const { return m_filterText; }
    int shownCount() const { return filtering() ? int(m_shown.size()) : size(); }
    bool isShown(int position) const { return shownRowOf(position) >= 0; }
    // The model's row of a place, -1 when the filter hides it; the place of a model's row.
    int shownRowOf(int position) const;
    int positionOfShownRow(int shownRow) const { return filtering() ? m_shown[size_t(shownRow)] : shownRow; }
    // The model's index of a place's cell; invalid when the filter hides it.
    QModelIndex shownIndex(int position, int column) const;

    // Shows the rows sorted by one column; rows that tie keep the order they arrived in.
    void sortBy(const ListSort &sort);
    // Shows the rows in the order they arrived.
    void showInArrivalOrder();
    // Puts rows whose texts changed back in their sorted places, the others being sorted.
    void placeSorted(const std::vector<int> &rows, const ListSort &sort);

Q_SIGNALS:
    // Rows of the table (by the order they arrived) whose texts changed, or that were added,
    // shown or not: what the model's own signals say only of the rows the filter lets through.
    void textsChanged(const QList<int> &rows);

private:
    TextTable &writableTable();
    bool filtering() const { return !m_filterText.isEmpty(); }
    bool rowMatches(int row) const;
    void showInOrder(std::vector<int> order);
    void setOrder(std::vector<int> order);
    template<typename Change> void changeLayout(Change &&change, QAbstractItemModel::LayoutChangeHint hint);
    void placeShownRows();
    void announceRows(const std::vector<char> &changedAtPosition, const QList<int> &roles);
    static quint64 cellKey(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    void forgetCellLooks(int row);
    const CellLook &rowLook(int row) const
    {
        return m_looks[m_lookOfRow.empty() ? 0 : size_t(m_lookOfRow[size_t(row)])];
    }
    void setRowLook(int row, const CellLook &look);
    // The places in display order, whether or not they are the order the rows arrived.
    std::vector<int> displayOrder() const;
    bool takeRowLook(int row, const CellLook &look);
    template<typename LookOf> void takeRowLooks(size_t rows, LookOf &&lookOf);

    QStringList m_headers;
    std::shared_ptr<TextTable> m_table;
    int m_rows = 0;
    std::vector<int> m_order;                  // by place shown: the row of the table; none in arrival order
    std::vector<int> m_position;               // by row of the table: the place it is shown in; none likewise
    std::vector<CellLook> m_looks{CellLook{}}; // each row look once; the first is the default
    std::vector<int> m_lookOfRow;              // by row of the table; none while all are the first
    QHash<quint64, CellLook> m_cellLooks;      // the cells whose look differs from their row's
    QFont m_boldFont;
    QString m_filterText;
    std::vector<char> m_filterColumns;
    std::vector<char> m_matches; // while filtering, by row of the table: 1 when shown
    std::vector<int> m_shown;    // while filtering, by the model's row: the place shown
};

} // namespace Kit
