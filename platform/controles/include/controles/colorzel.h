#pragma once

#include "controles/controles_export.h"
#include "controles/systemcolors.h"

#include <QObject>

class QWidget;

namespace Kit {

// A form's colour scheme, placed on the form at design time and never shown. The form's
// load handler calls AplicaColores, which paints the form's window: its background, the
// field colours (enabled, disabled, focused) and text size of its text and combo boxes,
// and the text size of its labels (those of the title and toolbar bands excepted).
// Applying again gives the same result.
class CONTROLES_EXPORT colorZEL final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 backcolor READ backcolor WRITE setBackcolor)
    Q_PROPERTY(qint32 enablecolor READ enablecolor WRITE setEnablecolor)
    Q_PROPERTY(qint32 disablecolor READ disablecolor WRITE setDisablecolor)
    Q_PROPERTY(qint32 focuscolor READ focuscolor WRITE setFocuscolor)
    Q_PROPERTY(double labelfontsize READ labelfontsize WRITE setLabelfontsize)
    Q_PROPERTY(double textfontsize READ textfontsize WRITE setTextfontsize)

public:
    // The scheme applies to the window that form belongs to.
    explicit colorZEL(QWidget *form = nullptr);
    ~colorZEL() override;

    // Colour references; each raises 380 for an invalid one.
    qint32 backcolor() const { return m_backColor; }
    void setBackcolor(qint32 reference);
    qint32 enablecolor() const { return m_enableColor; }
    void setEnablecolor(qint32 reference);
    qint32 disablecolor() const { return m_disableColor; }
    void setDisablecolor(qint32 reference);
    qint32 focuscolor() const { return m_focusColor; }
    void setFocuscolor(qint32 reference);

    // Sizes in points; a size that is not positive raises 380.
    double labelfontsize() const { return m_labelFontSize; }
    void setLabelfontsize(double points);
    double textfontsize() const { return m_textFontSize; }
    void setTextfontsize(double points);

    // Does nothing while the scheme sits on no form.
    Q_INVOKABLE void AplicaColores();

private:
    void paintBackground(QWidget *window) const;
    void paintInputs(QWidget *window) const;
    void sizeLabels(QWidget *window) const;

    qint32 m_backColor = 0xF5F5F5;
    qint32 m_enableColor = 0xFFFFFF;
    qint32 m_disableColor = 0xE0E0E0;
    qint32 m_focusColor = SystemColor::Window;
    double m_labelFontSize = 8.25;
    double m_textFontSize = 8.25;
};

} // namespace Kit
