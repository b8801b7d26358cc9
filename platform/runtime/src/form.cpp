#include "runtime/form.h"

#include "runtime/log.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

namespace Runtime {

int keyCodeOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return KeyCode::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KeyCode::Enter;
    case Qt::Key_Escape: return KeyCode::Escape;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: return 0;
    }
}

int shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    int shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ShiftState::Shift;
    if (modifiers & Qt::ControlModifier)
        shift |= ShiftState::Control;
    if (modifiers & Qt::AltModifier)
        shift |= ShiftState::Alt;
    return shift;
}

namespace {

// Remembers which top-level window of the application was active before the current one,
// so a form can tell a return from a message box from a return from another screen.
class ActivationTracker final : public QObject
{
public:
    static ActivationTracker &instance()
    {
        static QPointer<ActivationTracker> tracker;
        if (!tracker) {
            tracker = new ActivationTracker(qApp); // owned by the application
            qApp->installEventFilter(tracker);
        }
        return *tracker;
    }

    bool previousWasMessageBox() const { return m_previousWasMessageBox; }
    const QObject *current() const { return m_current.data(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowActivate && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow() && watched != m_current) {
            m_previousWasMessageBox = m_currentIsMessageBox;
            m_currentIsMessageBox = qobject_cast<QMessageBox *>(watched) != nullptr;
            m_current = watched;
        }
        return false;
    }

private:
    using QObject::QObject;

    QPointer<QObject> m_current;
    bool m_currentIsMessageBox = false;
    bool m_previousWasMessageBox = false;
};

} // namespace

Form::Form(QWidget *parent)
    : QDialog(parent)
{
    ActivationTracker::instance();
    // Leaving for another program while this form was the active window means its next
    // activation only returns from there; leaving while one of its dialogs was active does
    // not, as closing that dialog still brings the user back to the form.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive && ActivationTracker::instance().current() == this)
            m_applicationWasInactive = true;
    });
}

Form::~Form()
{
    setKeyPreview(false);
}

void Form::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_activatedSinceLoad = false;
    formLoad();
}

void Form::unload()
{
    if (!m_loaded)
        return;
    formQueryUnload();
    m_loaded = false;
    hide();
    formUnloaded();
}

void Form::showModal()
{
    load();
    if (!m_loaded)
        return;
    exec();
}

void Form::setVisible(bool visible)
{
    if (visible && !m_loaded)
        load();
    QDialog::setVisible(visible);
}

void Form::setKeyPreview(bool on)
{
    if (on == m_keyPreview)
        return;
    m_keyPreview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

// The control that has the focus in this form, or will have it when the form is active
// again. A composite control gives the focus to an inner widget through its focus proxy;
// the active control is the outermost widget whose proxy holds the focus.
QWidget *Form::activeControl() const
{
    QWidget *control = focusWidget();
    if (!control || control == this || !isOwnWidget(control))
        return nullptr;
    while (control->parentWidget() && control->parentWidget() != this
           && control->parentWidget()->focusProxy() == control)
        control = control->parentWidget();
    return control;
}

void Form::formKeyDown(int, int) { }

void Form::formKeyUp(int, int) { }

bool Form::isOwnWidget(const QObject *object) const
{
    for (const QObject *current = object; current; current = current->parent()) {
        if (current == this)
            return true;
        if (current->isWidgetType() && static_cast<const QWidget *>(current)->isWindow())
            return false;
    }
    return false;
}

// A key event the focused control leaves unhandled travels on to its parents, and the
// application's filters see it again at each of them; the form previews it only once.
bool Form::isPropagationOfPreviewed(const QObject *watched, const QEvent *event) const
{
    if (event != m_previewedEvent || event->type() != m_previewedType || !m_previewedReceiver)
        return false;
    for (const QObject *ancestor = m_previewedReceiver->parent(); ancestor; ancestor = ancestor->parent()) {
        if (ancestor == watched)
            return true;
    }
    return false;
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (m_keyPreview && keyEvent && watched->isWidgetType() && isOwnWidget(watched) && isVisible()
        && !isPropagationOfPreviewed(watched, event)) {
        m_previewedEvent = event;
        m_previewedType = event->type();
        m_previewedReceiver = watched;
        const auto *key = static_cast<QKeyEvent *>(event);
        const int code = keyCodeOf(key->key());
        const int shift = shiftStateOf(key->modifiers());
        QPointer<QObject> alive(watched);
        runHandler("Form_KeyPreview", [&] {
            if (event->type() == QEvent::KeyPress)
                formKeyDown(code, shift);
            else if (!key->isAutoRepeat())
                formKeyUp(code, shift);
        });
        if (!alive)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool Form::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        runActivation();
    return QDialog::event(event);
}

// The activation handler runs when the form becomes the active window coming from another
// window of this application; not when the application itself regains the focus from
// another program, not when a message box closes, and never inside its own run. The first
// activation after a load always runs, whatever was active before: a message of the load
// itself may have been the window the form takes over from.
void Form::runActivation()
{
    const bool fromAnotherProgram = m_applicationWasInactive;
    m_applicationWasInactive = false;
    if (!m_loaded || m_activating)
        return;
    const bool returning = fromAnotherProgram || ActivationTracker::instance().previousWasMessageBox();
    if (m_activatedSinceLoad && returning)
        return;
    m_activatedSinceLoad = true;
    m_activating = true;
    runHandler("Form_Activate", [this] { formActivate(); });
    m_activating = false;
}

void Form::closeEvent(QCloseEvent *event)
{
    runHandler("Form_QueryUnload", [this] { unload(); });
    event->accept();
}

// The classic forms decide themselves what Esc and Enter mean; the dialog's own meanings
// (reject, default button) do not apply.
void Form::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
}

void Form::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    runHandler("Form_Resize", [this] { formResize(); });
}

} // namespace Runtime
