#pragma once

#include "controles/texttable.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace Kit {

// How a list sorts its rows: by one column, one way.
struct ListSort
{
    int column = 0;
    Qt::SortOrder order = Qt::AscendingOrder;

    bool operator==(const ListSort &) const = default;
};

// The rows a list shows, its columns and how it sorts them: what a reader compares a new
// result with, on any thread, while the list goes on showing them.
struct ListSnapshot
{
    QStringList headers;
    std::shared_ptr<const TextTable> table;
    std::optional<ListSort> sort; // none while the list is not sorted
};

// What a new reading of a list's rows found, to be applied to the list.
struct ListUpdate
{
    // New texts for a row of the table shown, by its row in that table.
    struct RowChange
    {
        int row = 0;
        QStringList texts;
    };

    QStringList headers;
    // The rows to show when they are not the rows shown (other rows, another order, other
    // columns, or too many changes to list one by one); none when the rows shown stay.
    std::shared_ptr<TextTable> table;
    // The display order of `table` for `sortedBy`, when the reader sorted it.
    std::optional<ListSort> sortedBy;
    std::vector<int> order;
    // Without `table`: the rows shown whose texts changed.
    std::vector<RowChange> changes;

    bool changesNothing() const { return !table && changes.empty(); }
};

} // namespace Kit
