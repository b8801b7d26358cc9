#include "controles/listview.h"

#include "controles/directiontext.h"
#include "controles/listmodel.h"
#include "listheader.h"
#include "runtime/colors.h"
#include "runtime/error.h"
#include "runtime/form.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>

namespace Kit {

ListView::ListView(QWidget *parent)
    : QAbstractItemView(parent)
    , m_model(std::make_unique<ListModel>())
    , m_header(new ListHeader(this))
{
    setModel(m_model.get());
    setUpRows();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(true);
    header()->viewport()->installEventFilter(this);
    setTextElideMode(Qt::ElideRight);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { columnsMenu()->popup(header()->viewport()->mapToGlobal(at)); });
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logicalIndex) { Q_EMIT columnClick(logicalIndex + 1); });
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, &ListView::shownItemsChanged);
    connect(m_model.get(), &QAbstractItemModel::layoutChanged, this, &ListView::shownItemsChanged);
    connect(m_model.get(), &QAbstractItemModel::rowsInserted, this, &ListView::shownItemsChanged);
}

// The header and the model outlive the list's own part: their last signals reach nobody.
ListView::~ListView()
{
    m_header->disconnect(this);
    m_model->disconnect(this);
    setModel(nullptr);
}

QHeaderView *ListView::header() const
{
    return m_header;
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

void ListView::replaceContents(const QStringList &headers, const std::vector<ListRow> &rows)
{
    auto table = std::make_shared<TextTable>();
    table->reserve(int(rows.size()));
    for (const ListRow &row : rows)
        table->appendRow(std::span<const QString>(row.texts.constData(), size_t(row.texts.size())), row.key);
    ListUpdate update;
    update.headers = headers;
    update.table = std::move(table);
    apply(std::move(update));
}

ListSnapshot ListView::snapshot() const
{
    ListSnapshot shown{m_model->headers(), m_model->table(), std::nullopt};
    if (m_sorted)
        shown.sort = ListSort{m_sortKey, m_sortOrder};
    return shown;
}

void ListView::apply(ListUpdate update)
{
    const std::optional<ListSort> sort = m_sorted ? std::optional<ListSort>(ListSort{m_sortKey, m_sortOrder})
                                                  : std::nullopt;
    if (update.table) {
        std::vector<int> order;
        if (sort)
            order = update.sortedBy == sort ? std::move(update.order)
                                            : update.table->sortedRows(sort->column, sort->order);
        m_sortPending = false;
        m_model->replace(update.headers, std::move(update.table), std::move(order));
        filterShownColumns();
        return;
    }
    const TextTable::ColumnKind kindBefore = sort ? m_model->columnKind(sort->column) : TextTable::ColumnKind::Text;
    const std::vector<int> changed = m_model->changeRows(update.changes);
    if (!sort || m_sortPending || changed.empty())
        return;
    if (m_model->columnKind(sort->column) != kindBefore)
        m_model->sortBy(*sort);
    else
        m_model->placeSorted(changed, *sort);
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
    return m_model->text(checkedRow(index), 0);
}

QString ListView::itemKey(int index) const
{
    return m_model->key(checkedRow(index));
}

int ListView::subItemCount(int index) const
{
    return std::max(0, m_model->textCount(checkedRow(index)) - 1);
}

QString ListView::subItemText(int index, int subItem) const
{
    const int row = checkedRow(index);
    if (subItem < 1 || subItem >= columnCount())
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return m_model->text(row, subItem);
}

int ListView::addItem(const QString &key, const QString &text, const QStringList &subItems)
{
    QStringList texts{text};
    texts << subItems;
    m_model->append(ListRow{key, texts});
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
    if (column >= model.textCount(row))
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    ListModel::CellLook look = model.look(row, column);
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

namespace {

std::optional<ListModel::CellLook> cellLookOf(const std::optional<ListView::RowLook> &look)
{
    if (!look)
        return std::nullopt;
    const std::optional<qint32> &color = look->colorReference;
    if (color && !Runtime::isValidColorReference(*color))
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    return ListModel::CellLook{color.value_or(0), color.has_value(), look->bold};
}

// Every look checked before any is used: a colour the list cannot show changes nothing.
std::vector<ListModel::CellLook> cellLooksOf(const std::vector<ListView::RowLook> &looks)
{
    std::vector<ListModel::CellLook> cellLooks;
    cellLooks.reserve(looks.size());
    for (const ListView::RowLook &look : looks)
        cellLooks.push_back(*cellLookOf(look));
    return cellLooks;
}

} // namespace

void ListView::setRowLooks(const std::vector<std::optional<RowLook>> &looks)
{
    ensureSorted();
    std::vector<std::optional<ListModel::CellLook>> byRow(size_t(m_model->size()));
    for (size_t position = 0; position < std::min(looks.size(), byRow.size()); ++position)
        byRow[size_t(m_model->rowAt(int(position)))] = cellLookOf(looks[position]);
    m_model->setRowLooks(byRow);
}

void ListView::setEveryRowLook(const std::vector<RowLook> &looks, std::vector<int> lookOfRow)
{
    m_model->setEveryRowLook(cellLooksOf(looks), std::move(lookOfRow));
}

void ListView::setRowLooksInArrivalOrder(const std::vector<int> &rows, const std::vector<RowLook> &looks)
{
    m_model->setRowLooks(rows, cellLooksOf(looks));
}

std::optional<qint32> ListView::cellForeColor(int index, int column) const
{
    const int row = checkedRow(index);
    if (column < 0 || column >= m_model->textCount(row))
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    const ListModel::CellLook look = m_model->look(row, column);
    return look.hasColor ? std::optional<qint32>(look.color) : std::nullopt;
}

bool ListView::cellBold(int index, int column) const
{
    const int row = checkedRow(index);
    if (column < 0 || column >= m_model->textCount(row))
        Runtime::raise(Runtime::ErrorNumber::IndexOutOfBounds);
    return m_model->look(row, column).bold;
}

int ListView::selectedIndex() const
{
    ensureSorted();
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : m_model->positionOfShownRow(rows.first().row()) + 1;
}

void ListView::selectItem(int index)
{
    const QModelIndex target = m_model->shownIndex(checkedRow(index), 0);
    if (!target.isValid()) {
        clearSelection();
        return;
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::clearSelection()
{
    selectionModel()->clear();
}

void ListView::ensureVisible(int index)
{
    const QModelIndex target = m_model->shownIndex(checkedRow(index), 0);
    if (target.isValid())
        scrollTo(target);
}

QRect ListView::itemRect(int index) const
{
    return visualRect(m_model->shownIndex(checkedRow(index), 0));
}

// The filter looks at the columns shown: a column the user hid cannot make a row match.
void ListView::setQuickFilter(const QString &text)
{
    ensureSorted();
    auto shown = std::vector<char>(size_t(columnCount()));
    for (int column = 0; column < columnCount(); ++column)
        shown[size_t(column)] = !header()->isSectionHidden(column);
    m_model->setFilter(text, shown);
}

void ListView::filterShownColumns()
{
    if (!quickFilter().isEmpty())
        setQuickFilter(quickFilter());
}

bool ListView::isItemShown(int index) const
{
    return m_model->isShown(checkedRow(index));
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
    m_model->sortBy(ListSort{m_sortKey, m_sortOrder});
}

QString ListView::shownHeader(int column) const
{
    return static_cast<const ListHeader *>(header())->shownTitle(column);
}

void ListView::setEmptyText(const QString &text)
{
    m_emptyText = text;
    viewport()->update();
}

void ListView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    paintRows(painter, event->rect());
    if (columnCount() == 0 || shownItemCount() > 0)
        return;
    // Rows the quick filter hides all are not an empty view.
    const QString said = itemCount() > 0
                             ? QStringLiteral("Ninguna fila contiene «%1»").arg(withDirectionShown(quickFilter()))
                             : m_emptyText;
    if (said.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().averageCharWidth() * 2;
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin), Qt::AlignCenter | Qt::TextWordWrap,
                     said);
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
    QAbstractItemView::keyPressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QAbstractItemView::mouseDoubleClickEvent(event);
    Q_EMIT dblClick();
}

} // namespace Kit
