#pragma once

#include "runtime/runtime_export.h"

#include <QDialog>
#include <QEvent>
#include <QPointer>

namespace Runtime {

// Key codes and shift states as the forms' handlers receive them.
namespace KeyCode {
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int C = 67;
inline constexpr int F3 = 114;
inline constexpr int F5 = 116;
inline constexpr int F10 = 121;
} // namespace KeyCode
namespace ShiftState {
inline constexpr int Shift = 1;
inline constexpr int Control = 2;
inline constexpr int Alt = 4;
} // namespace ShiftState

RUNTIME_EXPORT int keyCodeOf(int qtKey);
RUNTIME_EXPORT int shiftStateOf(Qt::KeyboardModifiers modifiers);

// A form of the classic desktop runtime: loaded (its load handler runs), shown modally or
// not, hidden, unloaded (its close handler runs, the instance stays and can be loaded
// again). Hiding a modally shown form ends the modal show. With key preview on, the form
// sees the key events of all its controls before they do.
class RUNTIME_EXPORT Form : public QDialog
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    void load();
    void unload();
    bool isLoaded() const { return m_loaded; }

    // Loads the form if needed and shows it modally: returns when the form is hidden.
    void showModal();

    // Showing a form that is not loaded loads it first.
    void setVisible(bool visible) override;

    void setKeyPreview(bool on);
    bool keyPreview() const { return m_keyPreview; }

    // The control of this form that has the focus, or none.
    QWidget *activeControl() const;

protected:
    virtual void formLoad() { }
    virtual void formQueryUnload() { }
    // After the close handler: the instance stays, so the form puts its controls back as a
    // fresh load expects them.
    virtual void formUnloaded() { }
    virtual void formActivate() { }
    virtual void formKeyDown(int keyCode, int shift);
    virtual void formKeyUp(int keyCode, int shift);
    virtual void formResize() { }

    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void runActivation();
    bool isOwnWidget(const QObject *object) const;
    bool isPropagationOfPreviewed(const QObject *watched, const QEvent *event) const;

    bool m_loaded = false;
    bool m_keyPreview = false;
    bool m_activating = false;
    bool m_activatedSinceLoad = false;
    bool m_applicationWasInactive = false;
    const QEvent *m_previewedEvent = nullptr;
    QEvent::Type m_previewedType = QEvent::None;
    QPointer<QObject> m_previewedReceiver;
};

} // namespace Runtime
