// The list's layout kept per user: column widths, their order on screen, the columns hidden
// and the sort, under the list's layout key.
#include "controles/listview.h"

#include "controles/listmodel.h"
#include "runtime/settings.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <numeric>

namespace Kit {
namespace {

const QString columnsKey = QStringLiteral("Columnas");
const QString widthsKey = QStringLiteral("Anchos");
const QString orderKey = QStringLiteral("Orden");
const QString hiddenKey = QStringLiteral("Ocultas");
const QString sortColumnKey = QStringLiteral("OrdenarPor");
const QString sortOrderKey = QStringLiteral("Sentido");
const QString descending = QStringLiteral("descendente");
const QChar headerSeparator = QLatin1Char('\t');

struct Place
{
    QString application;
    QString section;
};

QString &layoutScope()
{
    static QString scope;
    return scope;
}

// The scope is one level of the settings' groups: the separators of its text go as another
// character, so a database's address stays one readable name.
Place placeOf(const QString &layoutKey)
{
    const qsizetype slash = layoutKey.indexOf(QLatin1Char('/'));
    if (slash <= 0 || slash + 1 == layoutKey.size())
        return {};
    const QString section = layoutKey.mid(slash + 1);
    if (layoutScope().isEmpty())
        return {layoutKey.first(slash), section};
    QString scope = layoutScope();
    scope.replace(QLatin1Char('/'), QLatin1Char('|')).replace(QLatin1Char('\\'), QLatin1Char('|'));
    return {layoutKey.first(slash), scope + QLatin1Char('/') + section};
}

QString joined(const std::vector<int> &numbers)
{
    QStringList texts;
    for (const int number : numbers)
        texts << QString::number(number);
    return texts.join(QLatin1Char(','));
}

// Whole numbers apart by commas, `count` of them, each at least `lowest`; none otherwise.
std::optional<std::vector<int>> numbersIn(const QString &text, qsizetype count, int lowest)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return std::nullopt;
    std::vector<int> numbers;
    for (const QString &part : parts) {
        bool ok = false;
        const int number = part.toInt(&ok);
        if (!ok || number < lowest)
            return std::nullopt;
        numbers.push_back(number);
    }
    return numbers;
}

// The columns kept hidden: any but the first, which is never hidden. A layout kept before
// columns could be hidden, or one that names a column the list has not, shows them all.
std::vector<int> hiddenIn(const QString &text, qsizetype columns)
{
    if (text.isEmpty())
        return {};
    const std::optional<std::vector<int>> hidden = numbersIn(text, text.count(QLatin1Char(',')) + 1, 1);
    if (!hidden || std::any_of(hidden->cbegin(), hidden->cend(), [columns](int column) { return column >= columns; }))
        return {};
    return *hidden;
}

} // namespace

void ListView::setLayoutScope(const QString &scope)
{
    layoutScope() = scope;
}

void ListView::saveLayout() const
{
    const Place place = placeOf(m_layoutKey);
    if (place.application.isEmpty() || columnCount() == 0)
        return;
    std::vector<int> widths;
    std::vector<int> order;
    std::vector<int> hidden;
    for (int column = 0; column < columnCount(); ++column) {
        widths.push_back(header()->sectionSize(column));
        order.push_back(header()->logicalIndex(column));
        if (column > 0 && header()->isSectionHidden(column))
            hidden.push_back(column);
    }
    Runtime::saveSettings(
        place.application, place.section,
        {{columnsKey, m_model->headers().join(headerSeparator)},
         {widthsKey, joined(widths)},
         {orderKey, joined(order)},
         {hiddenKey, joined(hidden)},
         {sortColumnKey, m_sorted ? QString::number(m_sortKey) : QString()},
         {sortOrderKey, m_sortOrder == Qt::DescendingOrder ? descending : QStringLiteral("ascendente")}});
}

bool ListView::restoreLayout()
{
    m_restoredKey = m_layoutKey;
    const Place place = placeOf(m_layoutKey);
    if (place.application.isEmpty())
        return false;
    const QMap<QString, QString> kept = Runtime::getSettings(place.application, place.section);
    const qsizetype columns = columnCount();
    const std::optional<std::vector<int>> widths = numbersIn(kept.value(widthsKey), columns, 0);
    std::optional<std::vector<int>> order = numbersIn(kept.value(orderKey), columns, 0);
    std::vector<int> everyColumn(static_cast<size_t>(columns));
    std::iota(everyColumn.begin(), everyColumn.end(), 0);
    if (order && !std::is_permutation(order->cbegin(), order->cend(), everyColumn.cbegin()))
        order.reset();
    if (columns == 0 || kept.value(columnsKey) != m_model->headers().join(headerSeparator) || !widths || !order) {
        setSorted(false);
        m_model->showInArrivalOrder();
        for (int column = 0; column < int(columns); ++column)
            showColumnAgain(column); // the columns hidden were the other layout's
        filterShownColumns();
        return false;
    }
    for (int visual = 0; visual < int(columns); ++visual)
        header()->moveSection(header()->visualIndex((*order)[size_t(visual)]), visual);
    const std::vector<int> hidden = hiddenIn(kept.value(hiddenKey), columns);
    for (int column = 0; column < int(columns); ++column) {
        // A hidden column was kept with no width: it comes back with the one it has.
        if (std::find(hidden.cbegin(), hidden.cend(), column) != hidden.cend()) {
            setColumnHidden(column, true);
            continue;
        }
        showColumnAgain(column);
        header()->resizeSection(column, (*widths)[size_t(column)]);
    }
    filterShownColumns();
    bool sortKept = false;
    const int sortColumn = kept.value(sortColumnKey).toInt(&sortKept);
    if (sortKept && sortColumn >= 0 && sortColumn < int(columns)) {
        m_sortKey = sortColumn;
        m_sortOrder = kept.value(sortOrderKey) == descending ? Qt::DescendingOrder : Qt::AscendingOrder;
        setSorted(true);
    } else {
        setSorted(false);
    }
    return true;
}

// A drag of a column's edge or of the column, and a click on a header, all end with the
// button let go on the header; the sort a click asks for is set after that, so the layout is
// kept once the event has been handled.
bool ListView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == header()->viewport() && event->type() == QEvent::MouseButtonRelease && !m_layoutKey.isEmpty())
        QTimer::singleShot(0, this, [this] { saveLayout(); });
    return QAbstractItemView::eventFilter(watched, event);
}

} // namespace Kit
