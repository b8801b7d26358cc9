#include "inputcolors.h"

#include "propertyvalues.h"

#include <QWidget>

namespace Kit {

void InputColors::setEnabled(qint32 reference)
{
    m_enabled = checkedColor(reference);
}

void InputColors::setDisabled(qint32 reference)
{
    m_disabled = checkedColor(reference);
}

void InputColors::setFocused(qint32 reference)
{
    m_focused = checkedColor(reference);
}

void InputColors::applyTo(QWidget *widget, bool hasFocus, QPalette::ColorRole extraRole) const
{
    const QColor live = resolvedColor(hasFocus ? m_focused : m_enabled);
    const QColor off = resolvedColor(m_disabled);
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Base, extraRole}) {
        if (role == QPalette::NoRole)
            continue;
        palette.setColor(QPalette::Active, role, live);
        palette.setColor(QPalette::Inactive, role, live);
        palette.setColor(QPalette::Disabled, role, off);
    }
    widget->setPalette(palette);
}

} // namespace Kit
