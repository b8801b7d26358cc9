// The rows on screen. Every row is as high as any other, so where a row is drawn, which row
// is under a point and how far the list scrolls are sums, not look-ups: the view keeps
// nothing per row, and a list of millions lays out, sorts and filters without a pause.
// The vertical scroll bar counts rows (its value is the top row shown); the horizontal one
// counts pixels, as the header does.
#include "controles/listview.h"

#include "listheader.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace Kit {

void ListView::setUpRows()
{
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_header->setModel(m_model.get());
    m_header->setSectionsMovable(true); // all but the first, which names the row
    connect(m_header, &QHeaderView::sectionResized, this, &ListView::columnsChanged);
    connect(m_header, &QHeaderView::sectionMoved, this, &ListView::columnsChanged);
    connect(m_header, &QHeaderView::sectionCountChanged, this, &ListView::columnsChanged);
    connect(m_header, &QHeaderView::geometriesChanged, this, &ListView::updateGeometries);
    connect(m_header, &QHeaderView::sectionHandleDoubleClicked, this, [this](int column) {
        m_header->resizeSection(column, std::max(m_header->sectionSizeHint(column), sizeHintForColumn(column)));
    });
    // Sorting and filtering change the rows shown: the scroll range follows at once, so that
    // a row can be scrolled to straight after.
    connect(m_model.get(), &QAbstractItemModel::layoutChanged, this, &ListView::rowsChanged);
}

// A list not on screen leaves its header as it is (see updateGeometries).
void ListView::columnsChanged()
{
    if (isVisible())
        updateGeometries();
    viewport()->update();
}

void ListView::setColumnHidden(int column, bool hide)
{
    m_header->setSectionHidden(column, hide);
}

bool ListView::isColumnHidden(int column) const
{
    return m_header->isSectionHidden(column);
}

// As high as the style makes a line of text in an item view: the rows of a list of states and
// weights are all one line.
int ListView::rowHeight() const
{
    if (m_rowHeight > 0)
        return m_rowHeight;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Ág");
    QFont bold = option.font;
    bold.setBold(true);
    option.font = bold;
    option.fontMetrics = QFontMetrics(bold);
    m_rowHeight = std::max(1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height());
    return m_rowHeight;
}

int ListView::topRow() const
{
    return verticalScrollBar()->value();
}

int ListView::rowsPerPage() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

int ListView::shownRows() const
{
    return m_model->rowCount();
}

QRect ListView::rowRect(int row) const
{
    return {0, (row - topRow()) * rowHeight(), std::max(viewport()->width(), m_header->length()), rowHeight()};
}

QRect ListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != m_model.get() || isIndexHidden(index))
        return {};
    const QRect row = rowRect(index.row());
    return {m_header->sectionViewportPosition(index.column()), row.y(), m_header->sectionSize(index.column()),
            row.height()};
}

QModelIndex ListView::indexAt(const QPoint &point) const
{
    if (point.y() < 0)
        return {};
    const int row = topRow() + point.y() / rowHeight();
    const int column = m_header->logicalIndexAt(point.x());
    if (row >= shownRows() || column < 0)
        return {};
    return m_model->index(row, column);
}

void ListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != m_model.get())
        return;
    const int row = index.row();
    const int page = rowsPerPage();
    int top = topRow();
    switch (hint) {
    case PositionAtTop: top = row; break;
    case PositionAtBottom: top = row - page + 1; break;
    case PositionAtCenter: top = row - page / 2; break;
    case EnsureVisible:
        if (row < top)
            top = row;
        else if (row >= top + page)
            top = row - page + 1;
        break;
    }
    verticalScrollBar()->setValue(top);
    if (isIndexHidden(index))
        return;
    const int left = m_header->sectionViewportPosition(index.column());
    const int right = left + m_header->sectionSize(index.column());
    if (left < 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + left);
    else if (right > viewport()->width())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + std::min(left, right - viewport()->width()));
}

QModelIndex ListView::moveCursor(CursorAction action, Qt::KeyboardModifiers /*modifiers*/)
{
    const QModelIndex current = currentIndex();
    const int rows = shownRows();
    if (rows == 0)
        return {};
    int row = current.isValid() ? current.row() : -1;
    switch (action) {
    case MoveUp:
    case MovePrevious: row = current.isValid() ? row - 1 : 0; break;
    case MoveDown:
    case MoveNext: ++row; break;
    case MovePageUp: row -= rowsPerPage(); break;
    case MovePageDown: row = std::max(row, 0) + rowsPerPage(); break;
    case MoveHome: row = 0; break;
    case MoveEnd: row = rows - 1; break;
    case MoveLeft:
    case MoveRight:
        horizontalScrollBar()->triggerAction(action == MoveLeft ? QAbstractSlider::SliderSingleStepSub
                                                                : QAbstractSlider::SliderSingleStepAdd);
        return current;
    }
    const int column = current.isValid() ? current.column() : m_header->logicalIndex(0);
    return m_model->index(std::clamp(row, 0, rows - 1), std::max(column, 0));
}

int ListView::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int ListView::verticalOffset() const
{
    return topRow() * rowHeight();
}

bool ListView::isIndexHidden(const QModelIndex &index) const
{
    return m_header->isSectionHidden(index.column());
}

// Whole rows are selected: those the rectangle crosses.
void ListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const QRect area = rect.normalized();
    const int first = std::max(0, topRow() + std::max(area.top(), 0) / rowHeight());
    const int last = std::min(shownRows() - 1, topRow() + std::max(area.bottom(), 0) / rowHeight());
    const int lastColumn = m_model->columnCount() - 1;
    if (area.bottom() < 0 || first > last || lastColumn < 0) {
        selectionModel()->select(QItemSelection(), command);
        return;
    }
    selectionModel()->select(QItemSelection(m_model->index(first, 0), m_model->index(last, lastColumn)), command);
}

QRegion ListView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const int top = topRow();
    const int bottom = top + rowsPerPage() + 1;
    for (const QItemSelectionRange &range : selection) {
        const int first = std::max(range.top(), top);
        const int last = std::min(range.bottom(), bottom);
        if (first <= last)
            region += rowRect(first).united(rowRect(last));
    }
    return region;
}

// The rows' range first: showing or hiding the scroll bar it needs changes the viewport's
// width, which the header and the horizontal range then follow. The header takes its width
// only once the list is shown: it stretches its last column to that width, and widths set
// before (a layout brought back) must stay as they were set.
void ListView::updateGeometries()
{
    m_rowHeight = 0;
    updateRowRange();
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0); // lays the scroll bars and the viewport out now
    const QRect area = viewport()->geometry();
    if (isVisible())
        m_header->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    horizontalScrollBar()->setRange(0, std::max(0, m_header->length() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
    m_header->setOffset(horizontalScrollBar()->value());
    QAbstractItemView::updateGeometries();
}

void ListView::updateRowRange()
{
    const int page = rowsPerPage();
    verticalScrollBar()->setRange(0, std::max(0, shownRows() - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(1);
}

void ListView::scrollContentsBy(int dx, int /*dy*/)
{
    if (dx != 0)
        m_header->setOffset(horizontalScrollBar()->value());
    viewport()->update();
}

void ListView::reset()
{
    QAbstractItemView::reset();
    rowsChanged();
}

void ListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    rowsChanged();
}

// Only the rows of the range on screen are painted again (the base class would measure every
// cell of the range, which may be every row).
void ListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> & /*roles*/)
{
    const int first = std::max(topLeft.row(), topRow());
    const int last = std::min(bottomRight.row(), topRow() + rowsPerPage());
    if (first <= last)
        viewport()->update(rowRect(first).united(rowRect(last)));
}

// On screen, the viewport follows the scroll bar the rows need at once, so that what fits
// the list's width is known straight after it is filled.
void ListView::rowsChanged()
{
    if (isVisible())
        updateGeometries();
    else
        updateRowRange();
}

// The widest of the rows on screen, as the view's own fitting measures a column.
int ListView::sizeHintForColumn(int column) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int widest = 0;
    const int last = std::min(shownRows(), topRow() + rowsPerPage() + 1);
    for (int row = topRow(); row < last; ++row)
        widest = std::max(widest, itemDelegate()->sizeHint(option, m_model->index(row, column)).width());
    return widest;
}

// The selection's colours and the current cell's frame follow the focus.
void ListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    for (const QModelIndex &index : {previous, current}) {
        if (index.isValid())
            viewport()->update(rowRect(index.row()));
    }
}

void ListView::focusInEvent(QFocusEvent *event)
{
    QAbstractItemView::focusInEvent(event);
    viewport()->update();
}

void ListView::focusOutEvent(QFocusEvent *event)
{
    QAbstractItemView::focusOutEvent(event);
    viewport()->update();
}

void ListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = 0;
        if (isVisible())
            updateGeometries();
    }
    QAbstractItemView::changeEvent(event);
}

// Each row on screen is drawn as one: the row's panel across the width, then its cells in the
// order the header shows them, each told where in the row it stands so that a selection looks
// like one bar; the current cell is framed while the list has the focus.
void ListView::paintRows(QPainter &painter, const QRect &area) const
{
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const QModelIndex current = currentIndex();
    const int height = rowHeight();
    const int first = topRow() + std::max(area.top(), 0) / height;
    const int last = std::min(shownRows() - 1, topRow() + area.bottom() / height);
    std::vector<int> columns;
    for (int visual = 0; visual < m_header->count(); ++visual) {
        const int column = m_header->logicalIndex(visual);
        const int left = m_header->sectionViewportPosition(column);
        if (!m_header->isSectionHidden(column) && left < area.right() + 1
            && left + m_header->sectionSize(column) > area.left())
            columns.push_back(column);
    }
    for (int row = first; row <= last; ++row) {
        QStyleOptionViewItem option = base;
        option.rect = rowRect(row);
        if (selectionModel()->isRowSelected(row, QModelIndex()))
            option.state |= QStyle::State_Selected;
        style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
        for (size_t place = 0; place < columns.size(); ++place) {
            const QModelIndex index = m_model->index(row, columns[place]);
            option.rect = visualRect(index);
            option.state.setFlag(QStyle::State_HasFocus, index == current && hasFocus());
            option.viewItemPosition = columns.size() == 1           ? QStyleOptionViewItem::OnlyOne
                                      : place == 0                  ? QStyleOptionViewItem::Beginning
                                      : place + 1 == columns.size() ? QStyleOptionViewItem::End
                                                                    : QStyleOptionViewItem::Middle;
            itemDelegate()->paint(&painter, option, index);
        }
    }
}

} // namespace Kit
