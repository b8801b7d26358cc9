#pragma once

#include "runtime/runtime_export.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

namespace Runtime {

// A long piece of work on the user-interface thread that keeps the window alive: called every
// so often from the work's loop, it lets the windows paint (user input waits until the work
// ends, so no handler runs in the middle of another, and every handler's steps keep their
// order). The window that holds `widget` cannot be closed meanwhile.
class RUNTIME_EXPORT KeepPainting final : public QObject
{
public:
    explicit KeepPainting(QWidget *widget);
    ~KeepPainting() override;
    KeepPainting(const KeepPainting &) = delete;
    KeepPainting &operator=(const KeepPainting &) = delete;

    // Lets the windows paint when it is time (at most every 50 ms).
    void tick()
    {
        if (due())
            paint();
    }
    bool due() const { return !m_sinceLast.isValid() || m_sinceLast.hasExpired(paintEveryMs); }
    void paint();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Well under what an eye takes for a stall, and seldom enough that painting costs the work
    // little.
    static constexpr qint64 paintEveryMs = 50;

    QPointer<QWidget> m_window;
    QElapsedTimer m_sinceLast;
};

} // namespace Runtime
