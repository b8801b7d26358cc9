#include "runtime/keeppainting.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace Runtime {

KeepPainting::KeepPainting(QWidget *widget)
    : m_window(widget ? widget->window() : nullptr)
{
    if (m_window)
        m_window->installEventFilter(this);
}

KeepPainting::~KeepPainting()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void KeepPainting::paint()
{
    m_sinceLast.start();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

bool KeepPainting::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Runtime
