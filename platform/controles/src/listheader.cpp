#include "listheader.h"

#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace Kit {

ListHeader::ListHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setTextElideMode(Qt::ElideRight);
}

QString ListHeader::shownTitle(int logicalIndex) const
{
    QStyleOptionHeaderV2 option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    return option.text;
}

void ListHeader::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, titleWidth(*option, logicalIndex));
}

// The room the style leaves the title in the section, short of the sort indicator.
int ListHeader::titleWidth(const QStyleOptionHeader &option, int logicalIndex) const
{
    QStyleOptionHeader section = option;
    section.rect = QRect(0, 0, sectionSize(logicalIndex), height());
    QRect title = style()->subElementRect(QStyle::SE_HeaderLabel, &section, this);
    if (section.sortIndicator != QStyleOptionHeader::None) {
        const QRect arrow = style()->subElementRect(QStyle::SE_HeaderArrow, &section, this);
        if (arrow.left() > title.left() && arrow.left() <= title.right())
            title.setRight(arrow.left() - 1);
    }
    return std::max(title.width(), 0);
}

} // namespace Kit
