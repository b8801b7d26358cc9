#include "controles/flatbutton.h"

#include "propertyvalues.h"
#include "runtime/error.h"

namespace Kit {
namespace {

QString cssColor(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

} // namespace

flatButton::flatButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QPushButton::clicked, this, &flatButton::Click);
    setIconsize(m_iconSizeStep);
    restyle();
}

flatButton::~flatButton() = default;

void flatButton::setBackcolor(qint32 reference)
{
    m_backColor = checkedColor(reference);
    restyle();
}

void flatButton::setBordercolor(qint32 reference)
{
    m_borderColor = checkedColor(reference);
    restyle();
}

void flatButton::setForecolor(qint32 reference)
{
    m_foreColor = checkedColor(reference);
    restyle();
}

void flatButton::setFocuscolor(qint32 reference)
{
    m_focusColor = checkedColor(reference);
    restyle();
}

void flatButton::setIconsize(int step)
{
    if (step < 0)
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    m_iconSizeStep = step;
    const int edge = 16 + 8 * step;
    setIconSize(QSize(edge, edge));
}

// The focus border is as wide as the plain one, so focusing never shifts the caption.
void flatButton::restyle()
{
    const QColor back = resolvedColor(m_backColor);
    QColor dimmedText = resolvedColor(m_foreColor);
    dimmedText.setAlpha(128);
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 2px solid %3;"
                                 " padding: 2px 10px; }"
                                 "QPushButton:hover { background-color: %4; }"
                                 "QPushButton:pressed { background-color: %5; }"
                                 "QPushButton:focus { border-color: %6; }"
                                 "QPushButton:disabled { color: %7; }")
                      .arg(cssColor(back), cssColor(resolvedColor(m_foreColor)), cssColor(resolvedColor(m_borderColor)),
                           cssColor(back.lighter(115)), cssColor(back.darker(120)),
                           cssColor(resolvedColor(m_focusColor)), cssColor(dimmedText)));
}

} // namespace Kit
