// The column chooser: the header's context menu, which hides and shows the list's columns.
#include "controles/listview.h"

#include <QHeaderView>
#include <QMenu>

namespace Kit {

QMenu *ListView::columnsMenu()
{
    if (!m_columnsMenu) {
        m_columnsMenu = new QMenu(this);
        m_columnsMenu->setObjectName(QStringLiteral("mnuColumnas"));
        m_columnsMenu->setTitle(QStringLiteral("Columnas"));
    }
    m_columnsMenu->clear();
    const QHeaderView &columns = *header();
    for (int visual = 0; visual < columnCount(); ++visual) {
        const int column = columns.logicalIndex(visual);
        QString title = columnHeader(column + 1);
        if (title.trimmed().isEmpty())
            title = QStringLiteral("Columna %1").arg(column + 1);
        QAction *entry = m_columnsMenu->addAction(title.replace(QLatin1Char('&'), QStringLiteral("&&")));
        entry->setObjectName(QStringLiteral("accColumna%1").arg(column));
        entry->setCheckable(true);
        // The first column names the row: without it no row could be told from another.
        entry->setChecked(column == 0 || !columns.isSectionHidden(column));
        entry->setEnabled(column != 0);
        connect(entry, &QAction::toggled, this, [this, column](bool shown) {
            if (shown)
                showColumnAgain(column);
            else
                setColumnHidden(column, true);
            filterShownColumns();
            saveLayout();
        });
    }
    return m_columnsMenu;
}

// A column hidden since the list began, or brought back hidden with a layout, has no width of
// its own to come back to.
void ListView::showColumnAgain(int column)
{
    setColumnHidden(column, false);
    if (header()->sectionSize(column) < header()->minimumSectionSize())
        header()->resizeSection(column, header()->defaultSectionSize());
}

} // namespace Kit
