#include "controles/texttable.h"

#include "naturalorder.h"

#include <algorithm>
#include <numeric>

namespace Kit {
namespace {

// A column's kind is judged from its first rows; whether it repeats its values enough to
// keep each distinct text once, from a longer sample.
constexpr int sampledRows = 200;
constexpr int sharingSample = 1024;

const QString noText;

} // namespace

void TextTable::reserve(int rows)
{
    m_reservedRows = rows;
    for (Column &column : m_columns)
        column.codes.reserve(rows);
}

const QString &TextTable::text(int row, int column) const
{
    if (column < 0 || column >= columnCount())
        return noText;
    const Column &cells = m_columns[size_t(column)];
    const quint32 code = cells.codes[row];
    return code == absent ? noText : cells.values[code];
}

int TextTable::textCount(int row) const
{
    for (int column = columnCount(); column > 0; --column) {
        if (m_columns[size_t(column - 1)].codes[row] != absent)
            return column;
    }
    return 0;
}

const QString &TextTable::key(int row) const
{
    return m_keys.empty() ? noText : m_keys[size_t(row)];
}

TextTable::ColumnKind TextTable::columnKind(int column) const
{
    if (column < 0 || column >= columnCount())
        return ColumnKind::Text;
    const Column &cells = m_columns[size_t(column)];
    if (cells.sampledFilled == 0)
        return ColumnKind::Text;
    if (cells.sampledNumbers == cells.sampledFilled)
        return ColumnKind::Number;
    return cells.sampledDates == cells.sampledFilled ? ColumnKind::Date : ColumnKind::Text;
}

bool TextTable::rowEquals(int row, std::span<const QString> texts) const
{
    if (textCount(row) != int(texts.size()))
        return false;
    for (size_t column = 0; column < texts.size(); ++column) {
        if (text(row, int(column)) != texts[column])
            return false;
    }
    return true;
}

void TextTable::addColumn()
{
    Column column;
    column.codes.reserve(std::max(m_reservedRows, m_rows));
    column.codes.fill(absent, m_rows);
    m_columns.push_back(std::move(column));
}

quint32 TextTable::codeFor(Column &column, const QString &text)
{
    if (column.shared) {
        const auto found = column.index.constFind(text);
        if (found != column.index.constEnd())
            return *found;
        const auto code = quint32(column.values.size());
        column.index.insert(text, code);
        column.values.push_back(text);
        return code;
    }
    column.values.push_back(text);
    return quint32(column.values.size() - 1);
}

void TextTable::sample(Column &column, const QString &text, int weight)
{
    if (text.isEmpty())
        return;
    column.sampledFilled += weight;
    if (Internal::readsAsNumber(text))
        column.sampledNumbers += weight;
    if (Internal::readsAsDate(text))
        column.sampledDates += weight;
}

void TextTable::appendRow(std::span<const QString> texts, const QString &key)
{
    while (columnCount() < int(texts.size()))
        addColumn();
    const int row = m_rows;
    for (size_t number = 0; number < m_columns.size(); ++number) {
        Column &column = m_columns[number];
        if (number >= texts.size()) {
            column.codes.push_back(absent);
            continue;
        }
        column.codes.push_back(codeFor(column, texts[number]));
        if (row < sampledRows)
            sample(column, texts[number], 1);
        // A column whose sample is mostly distinct texts (folios, amounts) stops looking
        // each text up: keeping it once would save nothing.
        if (column.shared && row + 1 == sharingSample && column.values.size() > sharingSample / 2) {
            column.shared = false;
            column.index = {};
        }
    }
    if (!key.isEmpty() || !m_keys.empty()) {
        m_keys.resize(size_t(row)); // the rows before the first key have none
        m_keys.push_back(key);
    }
    ++m_rows;
}

void TextTable::setRow(int row, std::span<const QString> texts)
{
    while (columnCount() < int(texts.size()))
        addColumn();
    for (size_t number = 0; number < m_columns.size(); ++number) {
        Column &column = m_columns[number];
        const QString &now = text(row, int(number));
        const bool given = number < texts.size();
        if (given == (column.codes[row] != absent) && (!given || now == texts[number]))
            continue;
        if (row < sampledRows) {
            sample(column, now, -1);
            if (given)
                sample(column, texts[number], 1);
        }
        column.codes[row] = given ? codeFor(column, texts[number]) : absent;
    }
}

void TextTable::rewriteColumn(int column, const std::function<QString(const QString &)> &rewrite)
{
    if (column < 0 || column >= columnCount())
        return;
    Column &cells = m_columns[size_t(column)];
    for (QString &value : cells.values)
        value = rewrite(value);
    if (!cells.shared)
        return;
    cells.index.clear();
    for (qsizetype code = 0; code < cells.values.size(); ++code)
        cells.index.insert(cells.values[code], quint32(code));
}

// Each distinct text is ranked once; rows are then put in order by counting their ranks,
// which keeps rows that tie in the order they arrived, whichever way the column is sorted.
std::vector<int> TextTable::sortedRows(int column, Qt::SortOrder order) const
{
    const ColumnKind kind = columnKind(column);
    const QList<QString> none;
    const QList<QString> &values = column < columnCount() ? m_columns[size_t(column)].values : none;
    Internal::SortKeys keys(kind, size_t(values.size()) + 1);
    for (const QString &value : values)
        keys.add(value);
    keys.add(noText); // the cells a row was not given

    std::vector<int> byKey(size_t(values.size()) + 1);
    std::iota(byKey.begin(), byKey.end(), 0);
    std::sort(byKey.begin(), byKey.end(),
              [&](int left, int right) { return keys.compare(size_t(left), size_t(right)) < 0; });
    std::vector<int> rankOf(byKey.size());
    int ranks = 0;
    for (size_t place = 0; place < byKey.size(); ++place) {
        if (place > 0 && keys.compare(size_t(byKey[place - 1]), size_t(byKey[place])) != 0)
            ++ranks;
        const int rank = order == Qt::AscendingOrder ? ranks : -ranks;
        rankOf[size_t(byKey[place])] = rank;
    }
    const int lowest = order == Qt::AscendingOrder ? 0 : -ranks;
    std::vector<int> rowRank(static_cast<size_t>(m_rows));
    std::vector<int> firstOfRank(size_t(ranks) + 2, 0);
    for (int row = 0; row < m_rows; ++row) {
        const quint32 code = column < columnCount() ? m_columns[size_t(column)].codes[row] : absent;
        rowRank[size_t(row)] = rankOf[code == absent ? size_t(values.size()) : code] - lowest;
        ++firstOfRank[size_t(rowRank[size_t(row)]) + 1];
    }
    std::partial_sum(firstOfRank.begin(), firstOfRank.end(), firstOfRank.begin());
    std::vector<int> sorted(static_cast<size_t>(m_rows));
    for (int row = 0; row < m_rows; ++row)
        sorted[size_t(firstOfRank[size_t(rowRank[size_t(row)])]++)] = row;
    return sorted;
}

// Column by column, each cell's text is looked up in what the column's texts were found to be
// (untested, passed, failed), so a state or a salesperson repeated a million times is tested
// once.
std::vector<char> TextTable::rowsWhere(const std::function<bool(const QString &)> &test, const std::vector<char> &among,
                                       const std::vector<char> &columns) const
{
    enum : char { untested, passed, failed };
    std::vector<char> found(size_t(m_rows), 0);
    const auto looked = [&](int row) { return among.empty() || among[size_t(row)]; };
    for (size_t number = 0; number < m_columns.size(); ++number) {
        if (!marked(columns, int(number)))
            continue;
        const Column &column = m_columns[number];
        std::vector<char> verdict(size_t(column.values.size()), untested);
        for (int row = 0; row < m_rows; ++row) {
            const quint32 code = column.codes[row];
            if (found[size_t(row)] || code == absent || !looked(row))
                continue;
            if (verdict[code] == untested)
                verdict[code] = test(column.values[code]) ? passed : failed;
            found[size_t(row)] = verdict[code] == passed;
        }
    }
    return found;
}

size_t TextTable::sortedPlace(const std::vector<int> &sorted, int row, int column, Qt::SortOrder order) const
{
    const ColumnKind kind = columnKind(column);
    const QString &mine = text(row, column);
    const auto goesAfter = [&](int other) {
        int comparison = Internal::compareCells(mine, text(other, column), kind);
        if (order == Qt::DescendingOrder)
            comparison = -comparison;
        return comparison > 0 || (comparison == 0 && row > other);
    };
    return size_t(std::partition_point(sorted.begin(), sorted.end(), goesAfter) - sorted.begin());
}

} // namespace Kit
