#pragma once

#include "controles/controles_export.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace Kit {

// The texts of a list's rows, in the order the rows arrived, kept column by column: each
// column keeps each distinct text once and a four-byte code per row, so the columns that
// repeat a few values (states, salespeople, contacts) cost little even for a million rows.
// A built table is only read, so a reader on another thread can compare a new result with
// the rows shown while the list goes on showing them; it is changed in place only when
// nobody else holds it.
class CONTROLES_EXPORT TextTable
{
public:
    // What a column holds, judged from the filled cells of its first rows: numbers line up
    // to the right and sort by value, dates sort as dates.
    enum class ColumnKind { Text, Number, Date };

    void reserve(int rows);

    int rowCount() const { return m_rows; }
    // The widest row's number of texts.
    int columnCount() const { return int(m_columns.size()); }

    // The text of a cell; empty for a cell beyond the texts its row was given.
    const QString &text(int row, int column) const;
    // How many texts the row was given.
    int textCount(int row) const;
    const QString &key(int row) const;
    // Whether any row was given a key (rows filled from a result have none).
    bool hasKeys() const { return !m_keys.empty(); }
    ColumnKind columnKind(int column) const;

    // The same texts as the row holds now.
    bool rowEquals(int row, std::span<const QString> texts) const;
    // New texts for a row that keeps its place (and its key).
    void setRow(int row, std::span<const QString> texts);
    void appendRow(std::span<const QString> texts, const QString &key = {});
    // Every text of a column put through `rewrite` (each distinct text once): a column whose
    // figures change their number of decimals is written again without reading it again.
    void rewriteColumn(int column, const std::function<QString(const QString &)> &rewrite);

    // The rows in sorted order: numbers by value, dates as dates, text as Mexican Spanish
    // collates it (letter case aside, numbers inside the text by value); rows that tie keep
    // the order in which they arrived.
    std::vector<int> sortedRows(int column, Qt::SortOrder order) const;
    // Marks the rows with a cell whose text passes `test`, by row: 1 when one does. Only the
    // rows marked in `among` are looked at (every row when it is empty), and only the columns
    // marked in `columns` (every column when it is empty, and those beyond its end); a text
    // that repeats in a column is tested once.
    std::vector<char> rowsWhere(const std::function<bool(const QString &)> &test, const std::vector<char> &among = {},
                                const std::vector<char> &columns = {}) const;
    static bool marked(const std::vector<char> &columns, int column)
    {
        return size_t(column) >= columns.size() || columns[size_t(column)] != 0;
    }
    // Where a row goes among rows already sorted by the same column and order (a binary
    // search over `sorted`, which must not hold the row).
    size_t sortedPlace(const std::vector<int> &sorted, int row, int column, Qt::SortOrder order) const;

private:
    static constexpr quint32 absent = 0xFFFFFFFF;

    struct Column
    {
        // Lists rather than vectors: their growth reallocates in place (a large block is
        // remapped, not copied), so a column of millions of rows grows in no long step.
        QList<QString> values;         // each distinct text once, or every text of a column that rarely repeats
        QList<quint32> codes;          // per row: an index into values, or absent
        QHash<QString, quint32> index; // the code of each value, while the column shares its texts
        bool shared = true;
        // Over the filled cells of the first rows: how many read as numbers, as dates.
        int sampledFilled = 0;
        int sampledNumbers = 0;
        int sampledDates = 0;
    };

    void addColumn();
    quint32 codeFor(Column &column, const QString &text);
    static void sample(Column &column, const QString &text, int weight);

    std::vector<Column> m_columns;
    std::vector<QString> m_keys; // empty while no row has a key
    int m_rows = 0;
    int m_reservedRows = 0;
};

} // namespace Kit
