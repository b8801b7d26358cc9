#include "controles/controles.h"

#include "propertyvalues.h"
#include "runtime/conversions.h"
#include "runtime/twips.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace Kit {
namespace {

const QColor captionColor(0x1F, 0x3B, 0x5A);
const QColor topColor(0xFF, 0xFF, 0xFF);
const QColor bottomColor(0xE9, 0xEE, 0xF4);
const QColor separatorColor(0xC5, 0xCF, 0xDB);

bool isListedWindow(const QWidget *widget)
{
    const Qt::WindowType type = widget->windowType();
    return widget->isVisible() && (type == Qt::Window || type == Qt::Dialog);
}

QString windowName(const QWidget *widget)
{
    const QString title = widget->windowTitle();
    return title.isEmpty() ? widget->objectName() : title;
}

void bringToFront(QWidget *widget)
{
    if (widget->isMinimized())
        widget->showNormal();
    widget->raise();
    widget->activateWindow();
}

} // namespace

Controles::Controles(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // The caption and the buttons fill the band's upper half; the lower half is the strip
    // where a screen's tabs go, which a screen without tabs covers with its own frame.
    auto *band = new QVBoxLayout(this);
    band->setContentsMargins(0, 0, 0, 0);
    band->setSpacing(0);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(12, 0, 6, 0);
    layout->setSpacing(2);
    band->addLayout(layout);
    band->addStretch(1);
    m_row = layout;
    if (parent)
        parent->installEventFilter(this); // the band spans its window's width
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("leyenda"));
    QFont large = m_caption->font();
    large.setPointSizeF(large.pointSizeF() * 1.35);
    large.setWeight(QFont::DemiBold);
    m_caption->setFont(large);
    QPalette captionColours = m_caption->palette();
    captionColours.setColor(QPalette::WindowText, captionColor);
    m_caption->setPalette(captionColours);
    layout->addWidget(m_caption, 1);

    m_menuButton = addButton(QStringLiteral("menu"), QStyle::SP_FileDialogDetailedView);
    m_windowsButton = addButton(QStringLiteral("ventanas"), QStyle::SP_TitleBarNormalButton);
    m_exitButton = addButton(QStringLiteral("salir"), QStyle::SP_DialogCloseButton);
    m_menu = new QMenu(m_menuButton);
    m_menu->setObjectName(QStringLiteral("menuOpciones"));
    m_menuButton->setMenu(m_menu);
    m_windows = new QMenu(m_windowsButton);
    m_windows->setObjectName(QStringLiteral("menuVentanas"));
    m_windowsButton->setMenu(m_windows);
    connect(m_windows, &QMenu::aboutToShow, this, &Controles::listWindows);
    connect(m_exitButton, &QToolButton::clicked, this, &Controles::Salir);

    relabelButtons();
    setShowmenupopup(m_showMenu);
    setShowwindowslist(m_showWindows);
    setShowexitbutton(m_showExit);
}

Controles::~Controles() = default;

QToolButton *Controles::addButton(const QString &name, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(style()->standardIcon(icon));
    button->setIconSize(QSize(18, 18));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setFocusPolicy(Qt::NoFocus); // the screen's own controls keep the focus
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    m_row->addWidget(button);
    return button;
}

QString Controles::caption() const
{
    return m_caption->text();
}

void Controles::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

void Controles::setTabwidth(const QString &twips)
{
    const qint32 indent = Runtime::toInteger32(twips);
    m_tabWidth = twips;
    m_caption->setIndent(Runtime::twipsToPixels(indent, this));
}

void Controles::setEasyaccessenabled(const QString &value)
{
    m_easyAccess = value;
    relabelButtons();
}

void Controles::relabelButtons()
{
    const bool mnemonics = isYes(m_easyAccess);
    m_menuButton->setText(mnemonics ? tr("&Menú") : tr("Menú"));
    m_windowsButton->setText(mnemonics ? tr("&Ventanas") : tr("Ventanas"));
    m_exitButton->setText(mnemonics ? tr("&Salir") : tr("Salir"));
    m_menuButton->setToolTip(tr("Menú"));
    m_windowsButton->setToolTip(tr("Ventanas abiertas"));
    m_exitButton->setToolTip(tr("Salir"));
}

void Controles::setShowmenupopup(const QString &value)
{
    m_showMenu = value;
    m_menuButton->setVisible(isYes(value));
}

void Controles::setShowwindowslist(const QString &value)
{
    m_showWindows = value;
    m_windowsButton->setVisible(isYes(value));
}

void Controles::setShowexitbutton(const QString &value)
{
    m_showExit = value;
    m_exitButton->setVisible(isYes(value));
}

void Controles::listWindows()
{
    m_windows->clear();
    QWidgetList windows = QApplication::topLevelWidgets();
    windows.removeIf([](const QWidget *widget) { return !isListedWindow(widget); });
    std::sort(windows.begin(), windows.end(), [](const QWidget *left, const QWidget *right) {
        return windowName(left).localeAwareCompare(windowName(right)) < 0;
    });
    for (QWidget *widget : windows) {
        QAction *entry = m_windows->addAction(windowName(widget));
        entry->setCheckable(true);
        entry->setChecked(widget == window());
        connect(entry, &QAction::triggered, this, [target = QPointer<QWidget>(widget)] {
            if (target)
                bringToFront(target);
        });
    }
}

bool Controles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        resize(parentWidget()->width(), height());
    return QWidget::eventFilter(watched, event);
}

void Controles::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The row holds the upper half of the band.
    const int row = std::max(height() / 2, m_caption->sizeHint().height());
    for (QToolButton *button : {m_menuButton, m_windowsButton, m_exitButton})
        button->setFixedHeight(row - 2);
    m_caption->setFixedHeight(row);
}

QSize Controles::sizeHint() const
{
    return {807, 64};
}

void Controles::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, topColor);
    shade.setColorAt(1, bottomColor);
    painter.fillRect(rect(), shade);
    painter.setPen(separatorColor);
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

} // namespace Kit
