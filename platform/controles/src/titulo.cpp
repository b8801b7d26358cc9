#include "controles/titulo.h"

#include "propertyvalues.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>

namespace Kit {
namespace {

const QColor bandColor(0x00, 0x53, 0x8A);

const QString buttonStyle = QStringLiteral(
    "QToolButton { color: white; border: none; padding: 0px 10px; font-size: 11pt; }"
    "QToolButton:hover { background-color: rgba(255, 255, 255, 40); }"
    "QToolButton#salir:hover { background-color: #C42B1C; }");

} // namespace

Titulo::Titulo(QWidget *parent)
    : QWidget(parent)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, bandColor);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 0, 0);
    layout->setSpacing(6);
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("icono"));
    m_icon->hide();
    layout->addWidget(m_icon);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("leyenda"));
    QFont bold = m_caption->font();
    bold.setBold(true);
    m_caption->setFont(bold);
    layout->addWidget(m_caption, 1);
    m_minimise = addButton(QStringLiteral("minimizar"), QStringLiteral("\u2013"), tr("Minimizar"));
    m_maximise = addButton(QStringLiteral("maximizar"), QStringLiteral("\u25A1"), tr("Maximizar"));
    m_exit = addButton(QStringLiteral("salir"), QStringLiteral("\u2715"), tr("Cerrar"));
    connect(m_minimise, &QToolButton::clicked, this, [this] { window()->showMinimized(); });
    connect(m_maximise, &QToolButton::clicked, this, &Titulo::toggleMaximised);
    connect(m_exit, &QToolButton::clicked, this, &Titulo::Salir);
}

Titulo::~Titulo() = default;

QToolButton *Titulo::addButton(const QString &name, const QString &symbol, const QString &toolTip)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(symbol);
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::NoFocus); // the dialog's fields keep the focus
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button->setStyleSheet(buttonStyle);
    layout()->addWidget(button);
    return button;
}

QString Titulo::caption() const
{
    return m_caption->text();
}

void Titulo::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

void Titulo::setShowminbutton(const QString &value)
{
    m_showMin = value;
    m_minimise->setVisible(isYes(value));
}

void Titulo::setShowmaxbutton(const QString &value)
{
    m_showMax = value;
    m_maximise->setVisible(isYes(value));
}

void Titulo::setShowexitbutton(const QString &value)
{
    m_showExit = value;
    m_exit->setVisible(isYes(value));
}

void Titulo::setAdjusticon(const QString &value)
{
    m_adjustIcon = value;
    showWindowIcon();
}

// The window's icon is only known once the band sits in its window.
void Titulo::showWindowIcon()
{
    const bool wanted = isYes(m_adjustIcon) && !window()->windowIcon().isNull();
    if (wanted)
        m_icon->setPixmap(window()->windowIcon().pixmap(16, 16));
    m_icon->setVisible(wanted);
}

QSize Titulo::sizeHint() const
{
    return {400, 27};
}

void Titulo::toggleMaximised()
{
    QWidget *frame = window();
    if (frame->isMaximized())
        frame->showNormal();
    else
        frame->showMaximized();
}

void Titulo::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showWindowIcon();
}

void Titulo::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !window()->isMaximized())
        m_dragOffset = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void Titulo::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragOffset && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - *m_dragOffset);
    QWidget::mouseMoveEvent(event);
}

void Titulo::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}

} // namespace Kit
