#include "runtime/screenstatus.h"

namespace Runtime {

ScreenStatus::ScreenStatus(QObject *screen)
    : QObject(screen)
{
    setObjectName(QStringLiteral("estadoDePantalla"));
}

ScreenStatus *ScreenStatus::of(const QObject *screen)
{
    return screen ? screen->findChild<ScreenStatus *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

ScreenStatus *ScreenStatus::around(const QObject *object)
{
    for (; object; object = object->parent()) {
        if (ScreenStatus *status = of(object))
            return status;
    }
    return nullptr;
}

void ScreenStatus::set(Part part, const QString &text)
{
    QString &kept = m_texts.at(static_cast<size_t>(part));
    if (kept == text)
        return;
    kept = text;
    Q_EMIT changed(part, text);
}

QString ScreenStatus::text(Part part) const
{
    return m_texts.at(static_cast<size_t>(part));
}

} // namespace Runtime
