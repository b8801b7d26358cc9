#include "controles/listmodel.h"

#include "runtime/colors.h"

#include <QGuiApplication>
#include <QRegularExpression>

#include <algorithm>
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
    Row row{std::move(source.key), std::move(source.texts), {}};
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

// A column is a number or date column when every filled cell of its first rows reads as one.
void ListModel::classifyColumns()
{
    static const QRegularExpression number(QStringLiteral("^-?[0-9][0-9,]*(\\.[0-9]+)?$"));
    static const QRegularExpression date(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9:]{8})?$"));
    constexpr size_t sampled = 200;
    m_kinds.assign(size_t(m_headers.size()), ColumnKind::Text);
    for (qsizetype column = 0; column < m_headers.size(); ++column) {
        bool allNumbers = true;
        bool allDates = true;
        bool anyFilled = false;
        for (size_t position = 0; position < std::min(sampled, m_rows.size()); ++position) {
            const QStringList &texts = m_rows[position].texts;
            if (column >= texts.size() || texts.at(column).isEmpty())
                continue;
            anyFilled = true;
            allNumbers = allNumbers && number.match(texts.at(column)).hasMatch();
            allDates = allDates && date.match(texts.at(column)).hasMatch();
        }
        if (anyFilled)
            m_kinds[size_t(column)] = allNumbers ? ColumnKind::Number : allDates ? ColumnKind::Date : ColumnKind::Text;
    }
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
        if (row.texts == rows[position].texts && row.key == rows[position].key)
            continue;
        row = makeRow(std::move(rows[position]));
        Q_EMIT dataChanged(index(int(position), 0), index(int(position), int(m_headers.size()) - 1));
    }
    return true;
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

// The positions of the rows in sorted order. Letter case is ignored by comparing case-folded
// copies made once per row, not folded again at every comparison.
template<typename Rows, typename TextsOf>
std::vector<int> sortedPositions(const Rows &rows, int column, Qt::SortOrder order, TextsOf textsOf)
{
    std::vector<QString> keys;
    keys.reserve(rows.size());
    for (const auto &row : rows)
        keys.push_back(cellText(textsOf(row), column).toCaseFolded());
    std::vector<int> positions(rows.size());
    std::iota(positions.begin(), positions.end(), 0);
    std::stable_sort(positions.begin(), positions.end(), [&](int left, int right) {
        return order == Qt::AscendingOrder ? keys[size_t(left)] < keys[size_t(right)]
                                           : keys[size_t(right)] < keys[size_t(left)];
    });
    return positions;
}

} // namespace

void ListModel::sortRows(std::vector<ListRow> &rows, int column, Qt::SortOrder order)
{
    const std::vector<int> positions =
        sortedPositions(rows, column, order, [](const ListRow &row) -> const QStringList & { return row.texts; });
    std::vector<ListRow> sorted;
    sorted.reserve(rows.size());
    for (const int position : positions)
        sorted.push_back(std::move(rows[size_t(position)]));
    rows = std::move(sorted);
}

std::vector<int> ListModel::sortBy(int column, Qt::SortOrder order)
{
    const std::vector<int> sortedOrder =
        sortedPositions(m_rows, column, order, [](const Row &row) -> const QStringList & { return row.texts; });

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
