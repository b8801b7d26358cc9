#pragma once

#include <QGuiApplication>

namespace Runtime {

// The busy cursor while a form waits on something, given back however the wait ends.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)
};

} // namespace Runtime
