#pragma once

#include <QHeaderView>

namespace Kit {

// The list's header. A title wider than its section ends in "…" before the sort indicator,
// rather than being cut off where it may look whole ("Organizació").
class ListHeader final : public QHeaderView
{
    Q_OBJECT

public:
    explicit ListHeader(QWidget *parent);

    // The title of a column as the header shows it.
    QString shownTitle(int logicalIndex) const;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;

private:
    int titleWidth(const QStyleOptionHeader &option, int logicalIndex) const;
};

} // namespace Kit
