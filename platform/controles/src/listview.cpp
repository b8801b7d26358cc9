#include "controles/listview.h"

#include "controles/listmodel.h"
#include "runtime/colors.h"
#include "runtime/error.h"
#include "runtime/form.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>

namespace Controles {

ListView::ListView(QWidget *parent)
    : QTreeView(parent)
    , m_model(std::make_unique<ListModel>())
{
    setModel(m_model.get());
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // row heights are not measured one by one on large lists
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int logicalIndex) {
        Q_EMIT columnClick(logicalIndex + 1);
    });
}

ListView::~ListView()
{
    setModel(nullptr);
}

ListModel &ListView::listModel() const
{
    ensureSorted();
    return *m_model;
}

int ListView::columnCount() const
{
    return int(m_model->headers().size());
}

QString ListView::columnHeader(int column) const
{
    if (column < 1 || column > columnCount())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return m_model->headers().at(column - 1);
}

void ListView::setColumns(const QStringList &headers)
{
    m_model->setHeaders(headers);
}

void ListView::replaceContents(const QStringList &headers, std::vector<ListRow> rows)
{
    for (size_t position = 0; position < rows.size(); ++position)
        rows[position].arrival = int(position);
    if (m_sorted)
        ListModel::sortRows(rows, m_sortKey, m_sortOrder);
    m_sortPending = false;
    m_model->replace(headers, std::move(rows));
}

int ListView::itemCount() const
{
    return m_model->size();
}

int ListView::checkedRow(int index) const
{
    ensureSorted();
    if (index < 1 || index > m_model->size())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return index - 1;
}

QString ListView::itemText(int index) const
{
    const ListModel::Row &row = m_model->row(checkedRow(index));
    return row.texts.isEmpty() ? QString() : row.texts.first();
}

QString ListView::itemKey(int index) const
{
    return m_model->row(checkedRow(index)).key;
}

int ListView::subItemCount(int index) const
{
    return std::max(0, int(m_model->row(checkedRow(index)).texts.size()) - 1);
}

QString ListView::subItemText(int index, int subItem) const
{
    const ListModel::Row &row = m_model->row(checkedRow(index));
    if (subItem < 1 || subItem >= columnCount())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return subItem < row.texts.size() ? row.texts.at(subItem) : QString();
}

int ListView::addItem(const QString &key, const QString &text, const QStringList &subItems)
{
    QStringList texts{text};
    texts << subItems;
    m_model->append(ListRow{key, texts, m_model->size()});
    applySort();
    return m_model->size();
}

void ListView::clearItems()
{
    m_model->clearRows();
}

namespace {

void setCellLook(ListModel &model, int row, int column, const std::optional<qint32> &color,
                 const std::optional<bool> &bold)
{
    if (column >= model.row(row).texts.size())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    ListModel::CellLook look = model.row(row).looks[size_t(column)];
    if (color) {
        if (!Runtime::isValidColorReference(*color))
            Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
        look.color = *color;
        look.hasColor = true;
    }
    if (bold)
        look.bold = *bold;
    model.setLook(row, column, look);
}

} // namespace

void ListView::setItemForeColor(int index, qint32 colorReference)
{
    setCellLook(*m_model, checkedRow(index), 0, colorReference, std::nullopt);
}

void ListView::setItemBold(int index, bool bold)
{
    setCellLook(*m_model, checkedRow(index), 0, std::nullopt, bold);
}

// A sub-item exists for every column header beyond the first, as far as the row was given
// texts for it.
void ListView::setSubItemForeColor(int index, int subItem, qint32 colorReference)
{
    const int row = checkedRow(index);
    if (subItem < 1)
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    setCellLook(*m_model, row, subItem, colorReference, std::nullopt);
}

void ListView::setSubItemBold(int index, int subItem, bool bold)
{
    const int row = checkedRow(index);
    if (subItem < 1)
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    setCellLook(*m_model, row, subItem, std::nullopt, bold);
}

void ListView::setRowLooks(const std::vector<std::optional<RowLook>> &looks)
{
    ensureSorted();
    std::vector<std::optional<ListModel::CellLook>> cells(looks.size());
    for (size_t position = 0; position < looks.size(); ++position) {
        if (!looks[position])
            continue;
        const std::optional<qint32> &color = looks[position]->colorReference;
        if (color && !Runtime::isValidColorReference(*color))
            Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
        cells[position] = ListModel::CellLook{color.value_or(0), color.has_value(), looks[position]->bold};
    }
    m_model->setRowLooks(cells);
}

std::optional<qint32> ListView::cellForeColor(int index, int column) const
{
    const ListModel::Row &row = m_model->row(checkedRow(index));
    if (column < 0 || size_t(column) >= row.looks.size())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    const ListModel::CellLook &look = row.looks[size_t(column)];
    return look.hasColor ? std::optional<qint32>(look.color) : std::nullopt;
}

bool ListView::cellBold(int index, int column) const
{
    const ListModel::Row &row = m_model->row(checkedRow(index));
    if (column < 0 || size_t(column) >= row.looks.size())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return row.looks[size_t(column)].bold;
}

int ListView::selectedIndex() const
{
    ensureSorted();
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

void ListView::selectItem(int index)
{
    const QModelIndex target = m_model->index(checkedRow(index), 0);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::clearSelection()
{
    selectionModel()->clear();
}

void ListView::ensureVisible(int index)
{
    scrollTo(m_model->index(checkedRow(index), 0));
}

void ListView::setSorted(bool sorted)
{
    m_sorted = sorted;
    applySort();
}

void ListView::setSortKey(int column)
{
    m_sortKey = column;
    applySort();
}

void ListView::setSortOrder(Qt::SortOrder order)
{
    m_sortOrder = order;
    applySort();
}

void ListView::applySort()
{
    header()->setSortIndicatorShown(m_sorted);
    m_sortPending = m_sorted;
    if (!m_sorted)
        return;
    header()->setSortIndicator(m_sortKey, m_sortOrder);
    if (m_sortQueued)
        return;
    m_sortQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_sortQueued = false;
            ensureSorted();
        },
        Qt::QueuedConnection);
}

void ListView::ensureSorted() const
{
    if (!m_sortPending)
        return;
    m_sortPending = false;
    m_model->sortBy(m_sortKey, m_sortOrder);
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyDown(Runtime::keyCodeOf(event->key()), Runtime::shiftStateOf(event->modifiers()));
    // The view's own copy would put the current cell on the clipboard; what Ctrl+C copies
    // is the form's decision.
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

} // namespace Controles
