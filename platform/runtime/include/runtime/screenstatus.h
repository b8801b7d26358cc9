#pragma once

#include "runtime/runtime_export.h"

#include <QObject>
#include <QString>

#include <array>

namespace Runtime {

// What a screen tells the window that holds it, for its status bar: the outcome of the last
// thing the user did, whose screen it is, the state of its connection and what it shows.
// It lives among the screen's children, so a window that knows nothing of the screen's
// class finds it; a screen without one simply says nothing.
class RUNTIME_EXPORT ScreenStatus final : public QObject
{
    Q_OBJECT

public:
    enum class Part { Action, User, Connection, Contents };
    Q_ENUM(Part)

    explicit ScreenStatus(QObject *screen);

    // The one the screen holds, if any.
    static ScreenStatus *of(const QObject *screen);
    // The one of the screen that holds this object (a list, a button), if any.
    static ScreenStatus *around(const QObject *object);

    void set(Part part, const QString &text);
    QString text(Part part) const;

Q_SIGNALS:
    void changed(Runtime::ScreenStatus::Part part, const QString &text);

private:
    std::array<QString, 4> m_texts;
};

} // namespace Runtime
