#include "controles/listmodel.h"

#include "controles/directiontext.h"
#include "runtime/colors.h"
#include "textfilter.h"

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
    return parent.isValid() ? 0 : shownCount();
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= shownCount())
        return {};
    const int position = positionOfShownRow(index.row());
    if (index.column() >= textCount(position))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return shownText(position, index.column());
    case Qt::ForegroundRole: {
        const CellLook cell = look(position, index.column());
        return cell.hasColor ? QVariant(Runtime::toQColor(cell.color, QGuiApplication::palette())) : QVariant();
    }
    case Qt::FontRole: return look(position, index.column()).bold ? QVariant(m_boldFont) : QVariant();
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
    const int row = rowAt(position);
    if (!m_cellLooks.isEmpty()) {
        const auto cell = m_cellLooks.constFind(cellKey(row, column));
        if (cell != m_cellLooks.constEnd())
            return *cell;
    }
    return rowLook(row);
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
    if (order.size() != size_t(rows))
        order.clear();
    beginResetModel();
    m_headers = headers;
    m_table = table ? std::move(table) : std::make_shared<TextTable>();
    m_rows = rows;
    setOrder(std::move(order));
    m_looks = {CellLook{}};
    m_lookOfRow.clear();
    m_cellLooks.clear();
    if (filtering()) {
        const Internal::TextFilter wanted(m_filterText);
        m_matches = m_table->rowsWhere([&](const QString &cell) { return wanted.foundIn(cell); }, {}, m_filterColumns);
    }
    placeShownRows();
    endResetModel();
}

// A changed row that comes into the filter or leaves it is shown or hidden with the others'
// places kept; one that stays shown is announced.
std::vector<int> ListModel::changeRows(const std::vector<ListUpdate::RowChange> &changes)
{
    std::vector<int> changed;
    std::vector<int> turned; // rows that come into the filter or leave it
    for (const ListUpdate::RowChange &change : changes) {
        const std::span<const QString> texts(change.texts.constData(), size_t(change.texts.size()));
        if (change.row < 0 || change.row >= size() || m_table->rowEquals(change.row, texts))
            continue;
        writableTable().setRow(change.row, texts);
        setRowLook(change.row, CellLook{});
        forgetCellLooks(change.row);
        changed.push_back(change.row);
        if (filtering() && rowMatches(change.row) != bool(m_matches[size_t(change.row)])) {
            turned.push_back(change.row);
            continue;
        }
        const QModelIndex first = shownIndex(positionOf(change.row), 0);
        if (first.isValid())
            Q_EMIT dataChanged(first, first.siblingAtColumn(int(m_headers.size()) - 1));
    }
    if (!changed.empty())
        Q_EMIT textsChanged(QList<int>(changed.begin(), changed.end()));
    if (!turned.empty()) {
        changeLayout(
            [&] {
                for (const int row : turned)
                    m_matches[size_t(row)] = !m_matches[size_t(row)];
            },
            QAbstractItemModel::NoLayoutChangeHint);
    }
    return changed;
}

void ListModel::append(const ListRow &row)
{
    const int position = size();
    // The table's new row has no place yet, so no view sees it before it is announced.
    writableTable().appendRow(std::span<const QString>(row.texts.constData(), size_t(row.texts.size())), row.key);
    const bool shows = !filtering() || rowMatches(position);
    if (shows)
        beginInsertRows(QModelIndex(), shownCount(), shownCount());
    ++m_rows;
    if (!m_order.empty()) {
        m_order.push_back(position);
        m_position.push_back(position);
    }
    if (!m_lookOfRow.empty())
        m_lookOfRow.push_back(0);
    if (filtering()) {
        m_matches.push_back(shows);
        if (shows)
            m_shown.push_back(position);
    }
    if (shows)
        endInsertRows();
    Q_EMIT textsChanged({position});
}

bool ListModel::rowMatches(int row) const
{
    const Internal::TextFilter filter(m_filterText);
    for (int column = 0; column < m_table->textCount(row); ++column) {
        if (TextTable::marked(m_filterColumns, column) && filter.foundIn(m_table->text(row, column)))
            return true;
    }
    return false;
}

int ListModel::shownRowOf(int position) const
{
    if (!filtering())
        return position;
    const auto found = std::lower_bound(m_shown.begin(), m_shown.end(), position);
    return found != m_shown.end() && *found == position ? int(found - m_shown.begin()) : -1;
}

QModelIndex ListModel::shownIndex(int position, int column) const
{
    const int shownRow = shownRowOf(position);
    return shownRow < 0 ? QModelIndex() : index(shownRow, column);
}

// Typing one more letter narrows the rows: only those the shorter text found are searched.
void ListModel::setFilter(const QString &text, const std::vector<char> &columns)
{
    const Internal::TextFilter wanted(text);
    const Internal::TextFilter current(m_filterText);
    const bool sameColumns = columns == m_filterColumns;
    if (wanted == current && (sameColumns || wanted.isEmpty())) {
        m_filterText = text;
        m_filterColumns = columns;
        return;
    }
    std::vector<char> matches;
    if (!wanted.isEmpty()) {
        const std::vector<char> every;
        const bool narrower = filtering() && sameColumns && wanted.narrows(current);
        matches = m_table->rowsWhere([&](const QString &cell) { return wanted.foundIn(cell); },
                                     narrower ? m_matches : every, columns);
    }
    changeLayout(
        [&] {
            m_filterText = text;
            m_filterColumns = columns;
            m_matches = std::move(matches);
        },
        QAbstractItemModel::NoLayoutChangeHint);
}

// By the model's rows: the places the filter lets through, in display order.
void ListModel::placeShownRows()
{
    m_shown.clear();
    if (!filtering()) {
        m_matches.clear();
        return;
    }
    for (int position = 0; position < m_rows; ++position) {
        if (m_matches[size_t(rowAt(position))])
            m_shown.push_back(position);
    }
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
    const int row = rowAt(position);
    if (look == rowLook(row))
        m_cellLooks.remove(cellKey(row, column));
    else
        m_cellLooks.insert(cellKey(row, column), look);
    const QModelIndex changed = shownIndex(position, column);
    if (changed.isValid())
        Q_EMIT dataChanged(changed, changed, {Qt::ForegroundRole, Qt::FontRole});
}

void ListModel::setRowLooks(const std::vector<std::optional<CellLook>> &lookOfRow)
{
    takeRowLooks(lookOfRow.size(), [&](size_t row) { return lookOfRow[row] ? &*lookOfRow[row] : nullptr; });
}

// Numbers for every row are kept as they come. The rows shown whose look changes are
// announced run by run, as long as the runs are few; beyond that, from the first to the last
// at once (the views repaint only what they show).
void ListModel::setEveryRowLook(const std::vector<CellLook> &looks, std::vector<int> lookOfRow)
{
    const bool everyRow = lookOfRow.size() == size_t(m_rows) && m_cellLooks.isEmpty() && !looks.empty()
                          && looks.front() == CellLook{}
                          && std::all_of(lookOfRow.cbegin(), lookOfRow.cend(),
                                         [&](int look) { return look >= 0 && size_t(look) < looks.size(); });
    if (everyRow) {
        constexpr size_t runsAnnouncedAtMost = 64;
        std::vector<std::pair<int, int>> runs; // first and last shown row of each
        for (int shownRow = 0; shownRow < shownCount(); ++shownRow) {
            const int row = rowAt(positionOfShownRow(shownRow));
            if (rowLook(row) == looks[size_t(lookOfRow[size_t(row)])])
                continue;
            if (!runs.empty() && (runs.back().second == shownRow - 1 || runs.size() > runsAnnouncedAtMost))
                runs.back().second = shownRow;
            else
                runs.emplace_back(shownRow, shownRow);
        }
        if (runs.size() > runsAnnouncedAtMost)
            runs = {{runs.front().first, runs.back().second}};
        m_looks = looks;
        m_lookOfRow = std::move(lookOfRow);
        const int lastColumn = int(m_headers.size()) - 1;
        for (const auto &[first, last] : runs) {
            if (lastColumn >= 0)
                Q_EMIT dataChanged(index(first, 0), index(last, lastColumn), {Qt::ForegroundRole, Qt::FontRole});
        }
        return;
    }
    takeRowLooks(lookOfRow.size(), [&](size_t row) {
        const auto look = size_t(lookOfRow[row]);
        return look < looks.size() ? &looks[look] : nullptr; // a number of no look keeps the row's own
    });
}

// The first rows of the table take the looks `lookOf` gives them (none: the row keeps its
// own); only the rows whose look changes are announced.
template<typename LookOf> void ListModel::takeRowLooks(size_t rows, LookOf &&lookOf)
{
    std::vector<char> changedAtPosition(size_t(size()), 0);
    bool anyChanged = false;
    for (size_t row = 0; row < std::min(rows, size_t(size())); ++row) {
        const CellLook *look = lookOf(row);
        if (!look)
            continue;
        const bool changed = takeRowLook(int(row), *look);
        changedAtPosition[size_t(positionOf(int(row)))] = changed;
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
        const QModelIndex first = shownIndex(positionOf(rows[number]), 0);
        if (first.isValid())
            Q_EMIT dataChanged(first, first.siblingAtColumn(lastColumn), {Qt::ForegroundRole, Qt::FontRole});
    }
}

// Whether the row's cells look otherwise now.
bool ListModel::takeRowLook(int row, const CellLook &look)
{
    bool changed = rowLook(row) != look;
    if (!m_cellLooks.isEmpty()) {
        for (int column = 0; column < m_table->columnCount() && !changed; ++column)
            changed = m_cellLooks.contains(cellKey(row, column));
        forgetCellLooks(row);
    }
    setRowLook(row, look);
    return changed;
}

// The rows keep the first look until one takes another; a look is kept once however many
// rows take it (a list's looks are its states').
void ListModel::setRowLook(int row, const CellLook &look)
{
    if (m_lookOfRow.empty()) {
        if (look == m_looks.front())
            return;
        m_lookOfRow.assign(size_t(m_rows), 0);
    }
    auto kept = std::find(m_looks.begin(), m_looks.end(), look);
    if (kept == m_looks.end())
        kept = m_looks.insert(m_looks.end(), look);
    m_lookOfRow[size_t(row)] = int(kept - m_looks.begin());
}

// Each run of consecutive changed rows shown is announced once.
void ListModel::announceRows(const std::vector<char> &changedAtPosition, const QList<int> &roles)
{
    const int lastColumn = int(m_headers.size()) - 1;
    const int rows = shownCount();
    const auto changed = [&](int shownRow) { return changedAtPosition[size_t(positionOfShownRow(shownRow))] != 0; };
    for (int start = 0; start < rows;) {
        if (!changed(start)) {
            ++start;
            continue;
        }
        int end = start;
        while (end + 1 < rows && changed(end + 1))
            ++end;
        Q_EMIT dataChanged(index(start, 0), index(end, lastColumn), roles);
        start = end + 1;
    }
}

void ListModel::sortBy(const ListSort &sort)
{
    showInOrder(m_table->sortedRows(sort.column, sort.order));
}

void ListModel::showInArrivalOrder()
{
    if (!m_order.empty())
        showInOrder({});
}

std::vector<int> ListModel::displayOrder() const
{
    if (!m_order.empty())
        return m_order;
    std::vector<int> order(static_cast<size_t>(m_rows));
    std::iota(order.begin(), order.end(), 0);
    return order;
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
    const std::vector<int> current = displayOrder();
    std::vector<int> order;
    order.reserve(current.size());
    std::copy_if(current.begin(), current.end(), std::back_inserter(order),
                 [&](int row) { return !moving[size_t(row)]; });
    for (const int row : rows)
        order.insert(order.begin() + std::ptrdiff_t(m_table->sortedPlace(order, row, sort.column, sort.order)), row);
    if (order != current)
        showInOrder(std::move(order));
}

void ListModel::showInOrder(std::vector<int> order)
{
    changeLayout([&] { setOrder(std::move(order)); }, QAbstractItemModel::VerticalSortHint);
}

// An empty order is the order the rows arrived in.
void ListModel::setOrder(std::vector<int> order)
{
    m_order = std::move(order);
    m_position.assign(m_order.size(), 0);
    for (size_t position = 0; position < m_order.size(); ++position)
        m_position[size_t(m_order[position])] = int(position);
}

// The rows change places, or the filter shows others; the views keep the selection on the
// same rows while they are shown.
template<typename Change> void ListModel::changeLayout(Change &&change, QAbstractItemModel::LayoutChangeHint hint)
{
    Q_EMIT layoutAboutToBeChanged({}, hint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> rowsBefore;
    rowsBefore.reserve(size_t(before.size()));
    for (const QModelIndex &old : before)
        rowsBefore.push_back(rowAt(positionOfShownRow(old.row())));
    change();
    placeShownRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype number = 0; number < before.size(); ++number)
        after << shownIndex(positionOf(rowsBefore[size_t(number)]), before[number].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, hint);
}

} // namespace Kit
