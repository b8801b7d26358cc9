#pragma once

#include "controles/controles_export.h"

#include <QStyle>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QMenu;
class QToolButton;

namespace Kit {

// The toolbar band across the top of a screen: the screen's caption, and on the right a
// menu button (showmenupopup), a windows-list button (showwindowslist) whose menu brings
// any visible window of the application to the front, and an exit button
// (showexitbutton). Switches are texts: "SI" shows the part, anything else hides it.
// Salir() is raised by the exit button; handlers connected to it must keep their
// failures to themselves.
class CONTROLES_EXPORT Controles final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString tabwidth READ tabwidth WRITE setTabwidth)
    Q_PROPERTY(QString easyaccessenabled READ easyaccessenabled WRITE setEasyaccessenabled)
    Q_PROPERTY(QString showmenupopup READ showmenupopup WRITE setShowmenupopup)
    Q_PROPERTY(QString showwindowslist READ showwindowslist WRITE setShowwindowslist)
    Q_PROPERTY(QString showexitbutton READ showexitbutton WRITE setShowexitbutton)

public:
    explicit Controles(QWidget *parent = nullptr);
    ~Controles() override;

    QString caption() const;
    void setCaption(const QString &caption);

    // The indent before the caption, in twips, as a number text; other text raises 13.
    QString tabwidth() const { return m_tabWidth; }
    void setTabwidth(const QString &twips);

    // "SI" gives the buttons Alt-key mnemonics.
    QString easyaccessenabled() const { return m_easyAccess; }
    void setEasyaccessenabled(const QString &value);

    QString showmenupopup() const { return m_showMenu; }
    void setShowmenupopup(const QString &value);
    QString showwindowslist() const { return m_showWindows; }
    void setShowwindowslist(const QString &value);
    QString showexitbutton() const { return m_showExit; }
    void setShowexitbutton(const QString &value);

    // The menu button's menu, empty until the form fills it.
    QMenu *menuPopup() const { return m_menu; }
    // The windows-list menu; it lists the windows again each time it opens.
    QMenu *windowsMenu() const { return m_windows; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void Salir();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *addButton(const QString &name, QStyle::StandardPixmap icon);
    void relabelButtons();
    void listWindows();

    QLabel *m_caption = nullptr;
    QHBoxLayout *m_row = nullptr;
    QToolButton *m_menuButton = nullptr;
    QToolButton *m_windowsButton = nullptr;
    QToolButton *m_exitButton = nullptr;
    QMenu *m_menu = nullptr;
    QMenu *m_windows = nullptr;
    QString m_tabWidth = QStringLiteral("0");
    QString m_easyAccess = QStringLiteral("NO");
    QString m_showMenu = QStringLiteral("NO");
    QString m_showWindows = QStringLiteral("SI");
    QString m_showExit = QStringLiteral("SI");
};

} // namespace Kit
