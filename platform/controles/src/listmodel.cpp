#include "controles/listmodel.h"

#include "controles/directiontext.h"
#include "runtime/colors.h"

#include <QGuiApplication>

#include <algorithm>
#include <numeric>

namespace Kit {
namespace {

// Beyond this many rows put back one by one, sorting the whole list again costs less.
constexpr size_t rowsPlacedOneByOne = 32;

} // namespace

ListModel::ListModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(std::make_shared<TextTable>())
{
    m_boldFont.setBold(true);
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : size();
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= size() || index.column() >= textCount(index.row()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return shownText(index.row(), index.column());
    case Qt::ForegroundRole: {
        const CellLook cell = look(index.row(), index.column());
        return cell.hasColor ? QVariant(Runtime::toQColor(cell.color, QGuiApplication::palette())) : QVariant();
    }
    case Qt::FontRole: return look(index.row(), index.column()).bold ? QVariant(m_boldFont) : QVariant();
    case Qt::TextAlignmentRole:
        return columnKind(index.column()) == TextTable::ColumnKind::Number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                           : QVariant();
    default: return {};
    }
}

QString ListModel::shownText(int position, int column) const
{
    const QString &whole = text(position, column);
    if (whole.size() <= shownLength)
        return withDirectionShown(whole);
    const qsizetype cut = whole.at(shownLength - 1).isHighSurrogate() ? shownLength - 1 : shownLength;
    return withDirectionShown(whole.first(cut)) + QChar(0x2026); // …
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_headers.size())
        return m_headers.at(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole
        && columnKind(section) == TextTable::ColumnKind::Number)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ListModel::setHeaders(const QStringList &headers)
{
    beginResetModel();
    m_headers = headers;
    endResetModel();
}

ListModel::CellLook ListModel::look(int position, int column) const
{
    const int row = m_order[size_t(position)];
    if (!m_cellLooks.isEmpty()) {
        const auto cell = m_cellLooks.constFind(cellKey(row, column));
        if (cell != m_cellLooks.constEnd())
            return *cell;
    }
    return m_rowLooks[size_t(row)];
}

// A reader may still hold the table shown (a reading on another thread that started before
// this change): it keeps its copy unchanged, and the list goes on with a table of its own.
TextTable &ListModel::writableTable()
{
    if (m_table.use_count() > 1)
        m_table = std::make_shared<TextTable>(*m_table);
    return *m_table;
}

void ListModel::replace(const QStringList &headers, std::shared_ptr<TextTable> table, std::vector<int> order)
{
    const int rows = table ? table->rowCount() : 0;
    if (order.size() != size_t(rows)) {
        order.resize(size_t(rows));
        std::iota(order.begin(), order.end(), 0);
    }
    beginResetModel();
    m_headers = headers;
    m_table = table ? std::move(table) : std::make_shared<TextTable>();
    m_order = std::move(order);
    m_position.assign(size_t(rows), 0);
    for (size_t position = 0; position < m_order.size(); ++position)
        m_position[size_t(m_order[position])] = int(position);
    m_rowLooks.assign(size_t(rows), CellLook{});
    m_cellLooks.clear();
    endResetModel();
}

std::vector<int> ListModel::changeRows(const std::vector<ListUpdate::RowChange> &changes)
{
    std::vector<int> changed;
    for (const ListUpdate::RowChange &change : changes) {
        const std::span<const QString> texts(change.texts.constData(), size_t(change.texts.size()));
        if (change.row < 0 || change.row >= size() || m_table->rowEquals(change.row, texts))
            continue;
        writableTable().setRow(change.row, texts);
        m_rowLooks[size_t(change.row)] = CellLook{};
        forgetCellLooks(change.row);
        changed.push_back(change.row);
        const int position = positionOf(change.row);
        Q_EMIT dataChanged(index(position, 0), index(position, int(m_headers.size()) - 1));
    }
    return changed;
}

void ListModel::append(const ListRow &row)
{
    const int position = size();
    beginInsertRows(QModelIndex(), position, position);
    writableTable().appendRow(std::span<const QString>(row.texts.constData(), size_t(row.texts.size())), row.key);
    m_order.push_back(position);
    m_position.push_back(position);
    m_rowLooks.emplace_back();
    endInsertRows();
}

void ListModel::clearRows()
{
    replace(m_headers, nullptr);
}

void ListModel::forgetCellLooks(int row)
{
    if (m_cellLooks.isEmpty())
        return;
    for (int column = 0; column < m_table->columnCount(); ++column)
        m_cellLooks.remove(cellKey(row, column));
}

void ListModel::setLook(int position, int column, const CellLook &look)
{
    if (this->look(position, column) == look)
        return;
    const int row = m_order[size_t(position)];
    if (look == m_rowLooks[size_t(row)])
        m_cellLooks.remove(cellKey(row, column));
    else
        m_cellLooks.insert(cellKey(row, column), look);
    const QModelIndex changed = index(position, column);
    Q_EMIT dataChanged(changed, changed, {Qt::ForegroundRole, Qt::FontRole});
}

void ListModel::setRowLooks(const std::vector<std::optional<CellLook>> &lookOfRow)
{
    std::vector<char> changedAtPosition(size_t(size()), 0);
    bool anyChanged = false;
    const size_t rows = std::min(lookOfRow.size(), size_t(size()));
    for (size_t row = 0; row < rows; ++row) {
        if (!lookOfRow[row])
            continue;
        const bool changed = takeRowLook(int(row), *lookOfRow[row]);
        changedAtPosition[size_t(m_position[row])] = changed;
        anyChanged = anyChanged || changed;
    }
    if (anyChanged)
        announceRows(changedAtPosition, {Qt::ForegroundRole, Qt::FontRole});
}

void ListModel::setRowLooks(const std::vector<int> &rows, const std::vector<CellLook> &looks)
{
    const int lastColumn = int(m_headers.size()) - 1;
    for (size_t number = 0; number < std::min(rows.size(), looks.size()); ++number) {
        if (rows[number] < 0 || rows[number] >= size() || !takeRowLook(rows[number], looks[number]))
            continue;
        const int position = positionOf(rows[number]);
        Q_EMIT dataChanged(index(position, 0), index(position, lastColumn), {Qt::ForegroundRole, Qt::FontRole});
    }
}

// Whether the row's cells look otherwise now.
bool ListModel::takeRowLook(int row, const CellLook &look)
{
    bool changed = m_rowLooks[size_t(row)] != look;
    if (!m_cellLooks.isEmpty()) {
        for (int column = 0; column < m_table->columnCount() && !changed; ++column)
            changed = m_cellLooks.contains(cellKey(row, column));
        forgetCellLooks(row);
    }
    m_rowLooks[size_t(row)] = look;
    return changed;
}

// Each run of consecutive changed rows is announced once.
void ListModel::announceRows(const std::vector<char> &changedAtPosition, const QList<int> &roles)
{
    const int lastColumn = int(m_headers.size()) - 1;
    for (size_t start = 0; start < changedAtPosition.size();) {
        if (!changedAtPosition[start]) {
            ++start;
            continue;
        }
        size_t end = start;
        while (end + 1 < changedAtPosition.size() && changedAtPosition[end + 1])
            ++end;
        Q_EMIT dataChanged(index(int(start), 0), index(int(end), lastColumn), roles);
        start = end + 1;
    }
}

void ListModel::sortBy(const ListSort &sort)
{
    showInOrder(m_table->sortedRows(sort.column, sort.order));
}

void ListModel::showInArrivalOrder()
{
    std::vector<int> order(m_order.size());
    std::iota(order.begin(), order.end(), 0);
    if (order != m_order)
        showInOrder(std::move(order));
}

void ListModel::placeSorted(const std::vector<int> &rows, const ListSort &sort)
{
    if (rows.empty())
        return;
    if (rows.size() > rowsPlacedOneByOne) {
        sortBy(sort);
        return;
    }
    std::vector<char> moving(size_t(size()), 0);
    for (const int row : rows)
        moving[size_t(row)] = 1;
    std::vector<int> order;
    order.reserve(m_order.size());
    std::copy_if(m_order.begin(), m_order.end(), std::back_inserter(order),
                 [&](int row) { return !moving[size_t(row)]; });
    for (const int row : rows)
        order.insert(order.begin() + std::ptrdiff_t(m_table->sortedPlace(order, row, sort.column, sort.order)), row);
    if (order != m_order)
        showInOrder(std::move(order));
}

// The rows change places; the views keep the selection on the same rows.
void ListModel::showInOrder(std::vector<int> order)
{
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex &old : before)
        rowsBefore.push_back(m_order[size_t(old.row())]);
    m_order = std::move(order);
    for (size_t position = 0; position < m_order.size(); ++position)
        m_position[size_t(m_order[position])] = int(position);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype number = 0; number < before.size(); ++number)
        after << index(positionOf(rowsBefore[size_t(number)]), before[number].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace Kit
