#include "controles/colorzel.h"

#include "controles/cbzel.h"
#include "controles/controles.h"
#include "controles/titulo.h"
#include "controles/txtzel.h"
#include "propertyvalues.h"
#include "runtime/error.h"

#include <QLabel>

namespace Kit {
namespace {

void setPointSize(QWidget *widget, double points)
{
    QFont font = widget->font();
    font.setPointSizeF(points);
    widget->setFont(font);
}

// Child dialogs of the form have schemes of their own, and the bands draw their own captions in their own sizes.
bool isInsideBand(const QWidget *widget)
{
    for (const QWidget *up = widget->parentWidget(); up && !up->isWindow(); up = up->parentWidget()) {
        if (qobject_cast<const Titulo *>(up) || qobject_cast<const Controles *>(up))
            return true;
    }
    return false;
}

double checkedFontSize(double points)
{
    if (!(points > 0))
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    return points;
}

} // namespace

colorZEL::colorZEL(QWidget *form)
    : QObject(form)
{ }

colorZEL::~colorZEL() = default;

void colorZEL::setBackcolor(qint32 reference)
{
    m_backColor = checkedColor(reference);
}

void colorZEL::setEnablecolor(qint32 reference)
{
    m_enableColor = checkedColor(reference);
}

void colorZEL::setDisablecolor(qint32 reference)
{
    m_disableColor = checkedColor(reference);
}

void colorZEL::setFocuscolor(qint32 reference)
{
    m_focusColor = checkedColor(reference);
}

void colorZEL::setLabelfontsize(double points)
{
    m_labelFontSize = checkedFontSize(points);
}

void colorZEL::setTextfontsize(double points)
{
    m_textFontSize = checkedFontSize(points);
}

void colorZEL::AplicaColores()
{
    auto *form = qobject_cast<QWidget *>(parent());
    if (!form)
        return;
    QWidget *window = form->window();
    paintBackground(window);
    paintInputs(window);
    sizeLabels(window);
}

void colorZEL::paintBackground(QWidget *window) const
{
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, resolvedColor(m_backColor));
    window->setPalette(colours);
    window->setAutoFillBackground(true);
}

void colorZEL::paintInputs(QWidget *window) const
{
    for (txtZEL *box : window->findChildren<txtZEL *>()) {
        if (box->window() != window)
            continue;
        box->setEnabledcolor(m_enableColor);
        box->setDisabledcolor(m_disableColor);
        box->setFocuscolor(m_focusColor);
        setPointSize(box, m_textFontSize);
    }
    for (cbZel *combo : window->findChildren<cbZel *>()) {
        if (combo->window() != window)
            continue;
        combo->setEnabledcolor(m_enableColor);
        combo->setDisabledcolor(m_disableColor);
        combo->setFocuscolor(m_focusColor);
        setPointSize(combo, m_textFontSize);
    }
}

void colorZEL::sizeLabels(QWidget *window) const
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->window() == window && !isInsideBand(label))
            setPointSize(label, m_labelFontSize);
    }
}

} // namespace Kit
