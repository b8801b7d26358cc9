#include "controles/txtzel.h"

#include "ado/session.h"
#include "ado/sqltext.h"
#include "inputcolors.h"
#include "propertyvalues.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/log.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QToolButton>
#include <QValidator>

#include <algorithm>

namespace Kit {
namespace {

// Accepts everything, in upper case: typing and pasting both pass through it.
class UpperCaseValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

QIcon magnifierIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x44, 0x4C, 0x56), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawEllipse(QRectF(2, 2, 8, 8));
    painter.drawLine(QPointF(10, 10), QPointF(14, 14));
    return QIcon::fromTheme(QStringLiteral("edit-find"), QIcon(pixmap));
}

bool isOnlyDigits(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
}

// The number of digits a mask of '0' and '#' places demands, or -1 when the text is not
// such a mask.
qsizetype requiredDigits(const QString &mask)
{
    const bool isMask = !mask.isEmpty() && std::all_of(mask.cbegin(), mask.cend(), [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('#');
    });
    if (!isMask)
        return -1;
    const qsizetype firstZero = mask.indexOf(QLatin1Char('0'));
    return firstZero < 0 ? 0 : mask.size() - firstZero;
}

bool isEnter(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

txtZEL::txtZEL(QWidget *parent)
    : QWidget(parent)
    , m_colors(std::make_unique<InputColors>())
{
    buildChildren();
    nameChildren();
    connect(this, &QObject::objectNameChanged, this, &txtZEL::nameChildren);
    repaintField();
}

txtZEL::~txtZEL() = default;

void txtZEL::buildChildren()
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_editor = new QLineEdit(this);
    m_editor->installEventFilter(this);
    layout->addWidget(m_editor);
    m_lupa = new QToolButton(this);
    m_lupa->setIcon(magnifierIcon());
    m_lupa->setAutoRaise(true);
    m_lupa->setFocusPolicy(Qt::NoFocus); // Tab never stops on it; the code keeps the focus
    m_lupa->setCursor(Qt::PointingHandCursor);
    m_lupa->setToolTip(tr("Buscar"));
    m_lupa->hide();
    layout->addWidget(m_lupa);
    connect(m_lupa, &QToolButton::clicked, this, &txtZEL::Buscar);
    setFocusProxy(m_editor);
}

void txtZEL::nameChildren()
{
    const QString prefix = objectName().isEmpty() ? QString() : objectName() + QLatin1Char('_');
    m_editor->setObjectName(prefix + QStringLiteral("texto"));
    m_lupa->setObjectName(prefix + QStringLiteral("lupa"));
}

txtZEL *txtZEL::owning(QWidget *widget)
{
    if (auto *box = qobject_cast<txtZEL *>(widget))
        return box;
    auto *box = widget ? qobject_cast<txtZEL *>(widget->parentWidget()) : nullptr;
    return box && (widget == box->m_editor || widget == box->m_lupa) ? box : nullptr;
}

QString txtZEL::Texto() const
{
    return m_editor->text();
}

void txtZEL::setTexto(const QString &text)
{
    m_editor->setText(text);
}

bool txtZEL::Habilitado() const
{
    return !testAttribute(Qt::WA_ForceDisabled);
}

void txtZEL::setHabilitado(bool enabled)
{
    setEnabled(enabled);
}

void txtZEL::setMayusculas(bool on)
{
    m_mayusculas = on;
    m_editor->setValidator(on ? new UpperCaseValidator(m_editor) : nullptr);
}

bool txtZEL::tabstop() const
{
    return (m_editor->focusPolicy() & Qt::TabFocus) != 0;
}

void txtZEL::setTabstop(bool on)
{
    m_editor->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void txtZEL::setPasswordchar(const QString &character)
{
    m_passwordChar = character;
    m_editor->setEchoMode(character.isEmpty() ? QLineEdit::Normal : QLineEdit::Password);
}

void txtZEL::setMaxlength(int length)
{
    if (length < 0)
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    m_maxLength = length;
    m_editor->setMaxLength(length == 0 ? 32767 : length);
}

bool txtZEL::locked() const
{
    return m_editor->isReadOnly();
}

void txtZEL::setLocked(bool on)
{
    m_editor->setReadOnly(on);
}

void txtZEL::setMostrarlupa(bool on)
{
    m_mostrarLupa = on;
    m_lupa->setVisible(on);
}

qint32 txtZEL::enabledcolor() const
{
    return m_colors->enabled();
}

void txtZEL::setEnabledcolor(qint32 reference)
{
    m_colors->setEnabled(reference);
    repaintField();
}

qint32 txtZEL::disabledcolor() const
{
    return m_colors->disabled();
}

void txtZEL::setDisabledcolor(qint32 reference)
{
    m_colors->setDisabled(reference);
    repaintField();
}

qint32 txtZEL::focuscolor() const
{
    return m_colors->focused();
}

void txtZEL::setFocuscolor(qint32 reference)
{
    m_colors->setFocused(reference);
    repaintField();
}

void txtZEL::Valida()
{
    commit();
}

void txtZEL::commit()
{
    applyFormat();
    m_committedText = Texto();
    lookUp();
}

void txtZEL::applyFormat()
{
    const QString code = Texto();
    const qsizetype digits = requiredDigits(Runtime::toTextOrEmpty(m_formato));
    if (digits > code.size() && isOnlyDigits(code))
        setTexto(code.rightJustified(digits, QLatin1Char('0')));
}

void txtZEL::lookUp()
{
    if (m_sql.isEmpty() || m_resultControl.isEmpty())
        return;
    const QString code = Texto();
    showLookupResult(code.isEmpty() ? QString() : runLookup(code));
}

QString txtZEL::runLookup(const QString &code) const
{
    try {
        QString statement = m_sql;
        statement.replace(QLatin1Char('?'), Ado::quoted(code));
        const Ado::Recordset result = Ado::Session::connection()->Execute(statement);
        return result.atEnd() ? QString() : Runtime::toTextOrEmpty(result.field(0));
    } catch (...) {
        const Runtime::RuntimeError error = Runtime::toRuntimeError(std::current_exception());
        qCWarning(logControles).noquote()
            << objectName() << "no pudo buscar" << code << ":" << error.number() << error.description();
        return {};
    }
}

void txtZEL::showLookupResult(const QString &result) const
{
    auto *target = window()->findChild<txtZEL *>(m_resultControl);
    if (!target) {
        qCWarning(logControles).noquote() << objectName() << "no encuentra el control" << m_resultControl;
        return;
    }
    target->setTexto(result);
}

// Returns whether Enter did something of its own, so the form does not see it too.
bool txtZEL::handleEnter()
{
    const QPointer<txtZEL> alive(this);
    commit();
    bool handled = false;
    if (m_mostrarLupa) {
        Q_EMIT Buscar();
        handled = true;
    }
    if (alive && m_tabOnEnter && (!Texto().isEmpty() || m_tabOnEnterEmpty)) {
        focusNextChild();
        handled = true;
    }
    return handled;
}

bool txtZEL::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_editor)
        return QWidget::eventFilter(watched, event);
    bool consumed = false;
    Runtime::runHandler("txtZEL", [&] {
        switch (event->type()) {
        case QEvent::KeyPress: consumed = isEnter(static_cast<QKeyEvent *>(event)) && handleEnter(); break;
        case QEvent::FocusIn: repaintField(); break;
        case QEvent::FocusOut: {
            // A context menu or another program taking the focus is not leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            repaintField();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && Texto() != m_committedText)
                commit();
            break;
        }
        default: break;
        }
    });
    return consumed || QWidget::eventFilter(watched, event);
}

void txtZEL::repaintField()
{
    m_colors->applyTo(m_editor, m_editor->hasFocus());
}

} // namespace Kit
