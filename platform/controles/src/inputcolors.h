#pragma once

#include "controles/systemcolors.h"

#include <QPalette>

class QWidget;

namespace Kit {

// The field colours of the kit's input controls: one for an enabled field, one while it
// has the focus, one when disabled. The disabled colour lives in the palette's Disabled
// group, so Qt switches to it by itself; the focus colour is swapped in by the owner on
// focus changes.
class InputColors
{
public:
    qint32 enabled() const { return m_enabled; }
    qint32 disabled() const { return m_disabled; }
    qint32 focused() const { return m_focused; }

    // Each raises 380 for an invalid colour reference.
    void setEnabled(qint32 reference);
    void setDisabled(qint32 reference);
    void setFocused(qint32 reference);

    // Paints the field roles of the widget's palette for its current focus.
    void applyTo(QWidget *widget, bool hasFocus, QPalette::ColorRole extraRole = QPalette::NoRole) const;

private:
    qint32 m_enabled = SystemColor::Window;
    qint32 m_disabled = SystemColor::ButtonFace;
    qint32 m_focused = SystemColor::Window;
};

} // namespace Kit
