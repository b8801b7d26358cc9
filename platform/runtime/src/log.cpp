#include "runtime/log.h"

#include "runtime/error.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTextDocumentFragment>

namespace Runtime {

Q_LOGGING_CATEGORY(logRuntime, "teqvaro.runtime")

namespace {

Q_LOGGING_CATEGORY(logMessages, "teqvaro.mensajes")

class MessageBoxWatcher final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (const auto *box = qobject_cast<const QMessageBox *>(watched))
                record(*box);
        }
        return false;
    }

private:
    static QString oneLine(const QString &text)
    {
        return QString(text).remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QStringLiteral(" / "));
    }
    static void record(const QMessageBox &box)
    {
        const QString reference = QTextDocumentFragment::fromHtml(box.informativeText()).toPlainText();
        qCInfo(logMessages).noquote() << "mensaje" << box.windowTitle() << "|" << oneLine(reference) << "|"
                                      << oneLine(box.text());
    }
};

void logFailure(const char *routine, std::exception_ptr failure, const char *circumstance) noexcept
{
    try {
        const RuntimeError error = toRuntimeError(failure);
        qCWarning(logRuntime).noquote() << routine << circumstance << error.number() << error.description();
    } catch (...) {
        // Logging must never be the thing that ends the host.
    }
}

} // namespace

void logMessageBoxes()
{
    static QPointer<MessageBoxWatcher> watcher;
    if (watcher || !qApp)
        return;
    watcher = new MessageBoxWatcher(qApp); // owned by the application
    qApp->installEventFilter(watcher);
}

void logUntrappedFailure(const char *routine, std::exception_ptr failure)
{
    logFailure(routine, failure, "falló sin trampa de errores:");
}

void logRepeatedFailure(const char *routine, std::exception_ptr failure)
{
    logFailure(routine, failure, "volvió a fallar (ya se avisó):");
}

} // namespace Runtime
