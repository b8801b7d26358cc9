#include "controles/listmodel.h"

#include "runtime/colors.h"

#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <numeric>

namespace Controles {

ListModel::ListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_boldFont.setBold(true);
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row &row = m_rows[size_t(index.row())];
    const auto column = qsizetype(index.column());
    if (column >= row.texts.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row.texts.at(column);
    case Qt::ForegroundRole: {
        const CellLook &look = row.looks[size_t(column)];
        if (!look.hasColor)
            return {};
        return Runtime::toQColor(look.color, QGuiApplication::palette());
    }
    case Qt::FontRole:
        return row.looks[size_t(column)].bold ? QVariant(m_boldFont) : QVariant();
    case Qt::TextAlignmentRole:
        return columnKind(int(column)) == ColumnKind::Number ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && columnKind(section) == ColumnKind::Number)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}

ListModel::Row ListModel::makeRow(ListRow source)
{
    Row row{std::move(source.key), std::move(source.texts), {}, source.arrival};
    row.looks.resize(size_t(row.texts.size()));
    return row;
}

void ListModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_headers = headers;
    classifyColumns();
    endResetModel();
}

ListModel::ColumnKind ListModel::columnKind(int column) const
{
    return column >= 0 && size_t(column) < m_kinds.size() ? m_kinds[size_t(column)] : ColumnKind::Text;
}

namespace {

const QRegularExpression &numberPattern()
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9][0-9,]*(\\.[0-9]+)?$"));
    return number;
}

const QRegularExpression &datePattern()
{
    static const QRegularExpression date(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9:]{8})?$"));
    return date;
}

constexpr size_t sampledRows = 200;

} // namespace

// A column is a number or date column when every filled cell of the sample reads as one.
ListModel::ColumnKind ListModel::kindOf(const std::vector<const QStringList *> &sample, int column)
{
    bool allNumbers = true;
    bool allDates = true;
    bool anyFilled = false;
    for (const QStringList *texts : sample) {
        if (column >= texts->size() || texts->at(column).isEmpty())
            continue;
        anyFilled = true;
        allNumbers = allNumbers && numberPattern().match(texts->at(column)).hasMatch();
        allDates = allDates && datePattern().match(texts->at(column)).hasMatch();
    }
    if (!anyFilled)
        return ColumnKind::Text;
    return allNumbers ? ColumnKind::Number : allDates ? ColumnKind::Date : ColumnKind::Text;
}

void ListModel::classifyColumns()
{
    std::vector<const QStringList *> sample;
    for (size_t position = 0; position < std::min(sampledRows, m_rows.size()); ++position)
        sample.push_back(&m_rows[position].texts);
    m_kinds.assign(size_t(m_headers.size()), ColumnKind::Text);
    for (qsizetype column = 0; column < m_headers.size(); ++column)
        m_kinds[size_t(column)] = kindOf(sample, int(column));
}

void ListModel::replace(const QStringList &headers, std::vector<ListRow> rows)
{
    if (headers == m_headers && updateInPlace(rows))
        return;
    beginResetModel();
    m_headers = headers;
    m_rows.clear();
    m_rows.reserve(rows.size());
    for (ListRow &source : rows)
        m_rows.push_back(makeRow(std::move(source)));
    classifyColumns();
    endResetModel();
}

// The same rows in the same order, perhaps with other texts: each changed row takes its new
// texts and starts over in the default look; nothing else is touched.
bool ListModel::updateInPlace(std::vector<ListRow> &rows)
{
    if (rows.size() != m_rows.size())
        return false;
    for (size_t position = 0; position < rows.size(); ++position) {
        const QStringList &now = m_rows[position].texts;
        const QStringList &next = rows[position].texts;
        if (now.isEmpty() || next.isEmpty() || now.first() != next.first() || now.size() != next.size())
            return false;
    }
    for (size_t position = 0; position < rows.size(); ++position) {
        Row &row = m_rows[position];
        row.arrival = rows[position].arrival;
        if (row.texts == rows[position].texts && row.key == rows[position].key)
            continue;
        row = makeRow(std::move(rows[position]));
        Q_EMIT dataChanged(index(int(position), 0), index(int(position), int(m_headers.size()) - 1));
    }
    return true;
}

std::vector<int> ListModel::positionsByArrival() const
{
    std::vector<int> positions(m_rows.size(), -1);
    for (size_t position = 0; position < m_rows.size(); ++position) {
        const int arrival = m_rows[position].arrival;
        if (arrival < 0 || size_t(arrival) >= positions.size() || positions[size_t(arrival)] >= 0)
            return {};
        positions[size_t(arrival)] = int(position);
    }
    return positions;
}

void ListModel::append(ListRow row)
{
    const int position = int(m_rows.size());
    beginInsertRows(QModelIndex(), position, position);
    m_rows.push_back(makeRow(std::move(row)));
    endInsertRows();
}

void ListModel::clearRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ListModel::setLook(int position, int column, const CellLook &look)
{
    CellLook &current = m_rows[size_t(position)].looks[size_t(column)];
    if (current == look)
        return;
    current = look;
    const QModelIndex changed = index(position, column);
    Q_EMIT dataChanged(changed, changed, {Qt::ForegroundRole, Qt::FontRole});
}

// Each run of consecutive changed rows is announced once; rows that keep their look are
// not announced at all.
void ListModel::setRowLooks(const std::vector<std::optional<CellLook>> &looks)
{
    int runStart = -1;
    const auto announce = [&](int end) {
        if (runStart >= 0)
            Q_EMIT dataChanged(index(runStart, 0), index(end, int(m_headers.size()) - 1), {Qt::ForegroundRole, Qt::FontRole});
        runStart = -1;
    };
    const size_t rows = std::min(looks.size(), m_rows.size());
    for (size_t position = 0; position < rows; ++position) {
        bool changed = false;
        if (looks[position]) {
            for (CellLook &cell : m_rows[position].looks) {
                changed = changed || cell != *looks[position];
                cell = *looks[position];
            }
        }
        if (changed && runStart < 0)
            runStart = int(position);
        else if (!changed)
            announce(int(position) - 1);
    }
    announce(int(rows) - 1);
}

namespace {

const QString &cellText(const QStringList &texts, int column)
{
    static const QString none;
    return column < texts.size() ? texts.at(column) : none;
}

// A value a cell sorts by: numbers by value, dates by their ISO text, other text by a key
// in Spanish order: letter case and accents aside, ñ its own letter between n and o, and
// numbers inside the text by value (OP-9 before OP-10).
struct SortKey
{
    double number = 0;
    QString text;
};

void appendNaturalKey(QString &key, const QString &text)
{
    constexpr qsizetype digitWidth = 20;
    QString letters = text.toCaseFolded();
    const bool ascii = std::all_of(letters.cbegin(), letters.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        letters = letters.normalized(QString::NormalizationForm_D);
    key.reserve(letters.size() + digitWidth);
    for (qsizetype at = 0; at < letters.size();) {
        const QChar character = letters.at(at);
        if (character.isDigit()) {
            qsizetype end = at;
            while (end < letters.size() && letters.at(end).isDigit())
                ++end;
            for (qsizetype pad = end - at; pad < digitWidth; ++pad)
                key += QLatin1Char('0');
            key += QStringView(letters).mid(at, end - at);
            at = end;
            continue;
        }
        if (!ascii && character == QLatin1Char('n') && at + 1 < letters.size() && letters.at(at + 1).unicode() == 0x0303) {
            key += QLatin1Char('n');
            key += QChar(0xFFFF); // ñ: after every n-word, before o
            at += 2;
            continue;
        }
        if (ascii || character.category() != QChar::Mark_NonSpacing)
            key += character;
        ++at;
    }
}

SortKey sortKeyOf(const QString &text, ListModel::ColumnKind kind)
{
    switch (kind) {
    case ListModel::ColumnKind::Number: {
        bool ok = false;
        const double value = QString(text).remove(QLatin1Char(',')).toDouble(&ok);
        return SortKey{ok ? value : -std::numeric_limits<double>::infinity(), {}};
    }
    case ListModel::ColumnKind::Date:
        return SortKey{0, text};
    case ListModel::ColumnKind::Text:
        break;
    }
    SortKey key;
    appendNaturalKey(key.text, text);
    return key;
}

int compareKeys(const SortKey &left, const SortKey &right, ListModel::ColumnKind kind)
{
    switch (kind) {
    case ListModel::ColumnKind::Number:
        return left.number < right.number ? -1 : right.number < left.number ? 1 : 0;
    case ListModel::ColumnKind::Date:
    case ListModel::ColumnKind::Text:
        break;
    }
    return left.text.compare(right.text);
}

// Whether a column repeats its values enough to be worth ranking each value once.
template<typename Rows>
bool repeatsItsValues(const Rows &rows, int column)
{
    QSet<QString> seen;
    const size_t sampled = std::min(sampledRows, rows.size());
    for (size_t position = 0; position < sampled; ++position)
        seen.insert(cellText(rows[position].texts, column));
    return size_t(seen.size()) * 2 <= sampled;
}

// The rank of each row's value: equal values share a rank. A column that repeats its values
// (states, salespeople, contacts) gets each distinct value's key once.
template<typename Rows>
std::vector<int> ranks(const Rows &rows, int column, ListModel::ColumnKind kind)
{
    const bool byValue = repeatsItsValues(rows, column);
    QHash<QString, int> distinctIndex;
    std::vector<SortKey> keys;
    std::vector<int> valueOfRow(rows.size());
    for (size_t position = 0; position < rows.size(); ++position) {
        const QString &text = cellText(rows[position].texts, column);
        if (!byValue) {
            valueOfRow[position] = int(keys.size());
            keys.push_back(sortKeyOf(text, kind));
            continue;
        }
        auto found = distinctIndex.constFind(text);
        if (found == distinctIndex.constEnd()) {
            found = distinctIndex.insert(text, int(keys.size()));
            keys.push_back(sortKeyOf(text, kind));
        }
        valueOfRow[position] = *found;
    }
    std::vector<int> byKey(keys.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    std::sort(byKey.begin(), byKey.end(), [&](int left, int right) {
        return compareKeys(keys[size_t(left)], keys[size_t(right)], kind) < 0;
    });
    std::vector<int> rankOfValue(keys.size());
    for (size_t place = 0, current = 0; place < byKey.size(); ++place) {
        if (place > 0 && compareKeys(keys[size_t(byKey[place - 1])], keys[size_t(byKey[place])], kind) != 0)
            ++current;
        rankOfValue[size_t(byKey[place])] = int(current);
    }
    for (int &value : valueOfRow)
        value = rankOfValue[size_t(value)];
    return valueOfRow;
}

// The positions of the rows in sorted order; rows that tie keep the order in which they
// arrived.
template<typename Rows>
std::vector<int> sortedPositions(const Rows &rows, int column, Qt::SortOrder order)
{
    std::vector<const QStringList *> sample;
    for (size_t position = 0; position < std::min(sampledRows, rows.size()); ++position)
        sample.push_back(&rows[position].texts);
    const std::vector<int> rank = ranks(rows, column, ListModel::kindOf(sample, column));
    std::vector<int> positions(rows.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::sort(positions.begin(), positions.end(), [&](int left, int right) {
        const int leftRank = rank[size_t(left)];
        const int rightRank = rank[size_t(right)];
        if (leftRank != rightRank)
            return order == Qt::AscendingOrder ? leftRank < rightRank : leftRank > rightRank;
        return rows[size_t(left)].arrival < rows[size_t(right)].arrival;
    });
    return positions;
}

} // namespace

void ListModel::sortRows(std::vector<ListRow> &rows, int column, Qt::SortOrder order)
{
    const std::vector<int> positions = sortedPositions(rows, column, order);
    std::vector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (const int position : positions)
        sorted.push_back(std::move(rows[size_t(position)]));
    rows = std::move(sorted);
}

std::vector<int> ListModel::sortBy(int column, Qt::SortOrder order)
{
    const std::vector<int> sortedOrder = sortedPositions(m_rows, column, order);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newPosition(m_rows.size());
    for (size_t position = 0; position < sortedOrder.size(); ++position) {
        newPosition[size_t(sortedOrder[position])] = int(position);
        sorted.push_back(std::move(m_rows[size_t(sortedOrder[position])]));
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before)
        after << index(newPosition[size_t(old.row())], old.column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return newPosition;
}

} // namespace Controles
