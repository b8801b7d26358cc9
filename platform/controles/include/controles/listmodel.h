#pragma once

#include "controles/controles_export.h"
#include "controles/listview.h"

#include <QAbstractTableModel>
#include <QFont>

#include <optional>

#include <vector>

namespace Controles {

// The rows of a list view with their looks. Rows are kept in display order, so the list's
// item numbers are row positions; the look of each cell is a colour reference (or none)
// and a weight, resolved to a brush and a font only when the view asks.
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

    struct Row
    {
        QString key;
        QStringList texts;
        std::vector<CellLook> looks; // one per text
        int arrival = 0;
    };

    // What a column holds, judged from its first rows: numbers line up to the right.
    enum class ColumnKind { Text, Number, Date };

    explicit ListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const QStringList &headers() const { return m_headers; }
    void setHeaders(const QStringList &headers);
    // Replaces the rows by new ones given in display order. With the same columns, rows that
    // did not change stay as they are (texts and looks): a refresh that finds nothing new
    // touches nothing, and one that finds a few changed rows updates just those.
    void replace(const QStringList &headers, std::vector<ListRow> rows);
    // The position of each row in the order the rows came (none if that order is not
    // known), for a filling or a look-up that reads the rows in the order they come.
    std::vector<int> positionsByArrival() const;
    void append(ListRow row);
    void clearRows();

    const Row &row(int position) const { return m_rows[size_t(position)]; }
    ColumnKind columnKind(int column) const;
    int size() const { return int(m_rows.size()); }

    void setLook(int position, int column, const CellLook &look);
    // One look for every cell of each row that has one, announced as one change.
    void setRowLooks(const std::vector<std::optional<CellLook>> &looks);

    // Stable sort of the rows by one column's text; returns the new position of each old row.
    std::vector<int> sortBy(int column, Qt::SortOrder order);

    // The order the list sorts in, for rows that are not in the model yet.
    static void sortRows(std::vector<ListRow> &rows, int column, Qt::SortOrder order);

    // What a column holds, judged from the filled cells of the first rows.
    static ColumnKind kindOf(const std::vector<const QStringList *> &sample, int column);

private:
    static Row makeRow(ListRow source);
    void classifyColumns();
    bool updateInPlace(std::vector<ListRow> &rows);

    QStringList m_headers;
    std::vector<ColumnKind> m_kinds;
    std::vector<Row> m_rows;
    QFont m_boldFont;
};

} // namespace Controles
