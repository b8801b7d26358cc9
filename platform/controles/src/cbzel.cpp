#include "controles/cbzel.h"

#include "inputcolors.h"
#include "runtime/error.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

#include <limits>

namespace Kit {

cbZel::cbZel(QWidget *parent)
    : QComboBox(parent)
    , m_colors(std::make_unique<InputColors>())
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert); // typed text is never added as an item
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Q_EMIT Click(); });
    nameEditor();
    repaintField();
}

cbZel::~cbZel() = default;

void cbZel::setEstilo(int estilo)
{
    if (estilo < DropDownCombo || estilo > DropDownList)
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    m_estilo = estilo;
    const QSignalBlocker quiet(this); // a change of style is not a change of selection
    const int selected = currentIndex();
    setEditable(estilo != DropDownList);
    setCurrentIndex(selected);
    nameEditor();
    repaintField();
}

qint32 cbZel::enabledcolor() const
{
    return m_colors->enabled();
}

void cbZel::setEnabledcolor(qint32 reference)
{
    m_colors->setEnabled(reference);
    repaintField();
}

qint32 cbZel::disabledcolor() const
{
    return m_colors->disabled();
}

void cbZel::setDisabledcolor(qint32 reference)
{
    m_colors->setDisabled(reference);
    repaintField();
}

qint32 cbZel::focuscolor() const
{
    return m_colors->focused();
}

void cbZel::setFocuscolor(qint32 reference)
{
    m_colors->setFocused(reference);
    repaintField();
}

qint16 cbZel::NumElementos() const
{
    if (count() > std::numeric_limits<qint16>::max())
        Runtime::raise(Runtime::ErrorNumber::Overflow);
    return qint16(count());
}

qint16 cbZel::Indice() const
{
    return qint16(currentIndex());
}

void cbZel::setIndice(qint16 index)
{
    if (index < -1 || index >= count())
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    setCurrentIndex(index);
}

void cbZel::Limpia()
{
    clear();
    clearEditText();
}

// Qt selects the first item added to an empty combo; the forms expect no selection until
// they choose one, and no Click while they fill the list.
void cbZel::Agrega(const QString &text)
{
    const int selected = currentIndex();
    const QSignalBlocker quiet(this);
    addItem(text);
    if (selected != currentIndex())
        setCurrentIndex(selected);
}

void cbZel::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_tabOnEnter && !view()->isVisible()) {
        focusNextChild();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void cbZel::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    repaintField();
}

void cbZel::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    repaintField();
}

void cbZel::nameEditor()
{
    if (lineEdit())
        lineEdit()->setObjectName(QStringLiteral("texto"));
    view()->setObjectName(QStringLiteral("lista"));
}

// A drop-down list shows its face in the button role, an editable combo in the base role.
void cbZel::repaintField()
{
    m_colors->applyTo(this, hasFocus(), QPalette::Button);
}

} // namespace Kit
