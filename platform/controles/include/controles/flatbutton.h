#pragma once

#include "controles/controles_export.h"

#include <QPushButton>

namespace Kit {

// The forms' flat button: a plain coloured face with a thin border, the border taking the
// focus colour while the button has the focus. Click() is raised with every clicked();
// handlers connected to it must keep their failures to themselves.
class CONTROLES_EXPORT flatButton final : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(qint32 backcolor READ backcolor WRITE setBackcolor)
    Q_PROPERTY(qint32 bordercolor READ bordercolor WRITE setBordercolor)
    Q_PROPERTY(qint32 forecolor READ forecolor WRITE setForecolor)
    Q_PROPERTY(qint32 focuscolor READ focuscolor WRITE setFocuscolor)
    Q_PROPERTY(int iconsize READ iconsize WRITE setIconsize)

public:
    explicit flatButton(QWidget *parent = nullptr);
    ~flatButton() override;

    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }

    // Colour references; each raises 380 for an invalid one and leaves the look as it was.
    qint32 backcolor() const { return m_backColor; }
    void setBackcolor(qint32 reference);
    qint32 bordercolor() const { return m_borderColor; }
    void setBordercolor(qint32 reference);
    qint32 forecolor() const { return m_foreColor; }
    void setForecolor(qint32 reference);
    qint32 focuscolor() const { return m_focusColor; }
    void setFocuscolor(qint32 reference);

    // Steps of icon size: 0 is 16 pixels, each step 8 more; a negative step raises 380.
    int iconsize() const { return m_iconSizeStep; }
    void setIconsize(int step);

Q_SIGNALS:
    void Click();

private:
    void restyle();

    qint32 m_backColor = 0x8A5300;
    qint32 m_borderColor = 0x8A5300;
    qint32 m_foreColor = 0xFFFFFF;
    qint32 m_focusColor = 0x75ACFF;
    int m_iconSizeStep = 0;
};

} // namespace Kit
