#include "controles/etiqueta.h"

#include "propertyvalues.h"
#include "runtime/error.h"

namespace Kit {

Etiqueta::Etiqueta(QWidget *parent)
    : QLabel(parent)
{
    setAlignmentCode(Left);
}

Etiqueta::~Etiqueta() = default;

void Etiqueta::setIdetiqueta(const QString &id)
{
    m_idEtiqueta = id;
    setAccessibleDescription(id);
}

void Etiqueta::setAlignmentCode(int alignment)
{
    Qt::Alignment horizontal;
    switch (alignment) {
    case Left: horizontal = Qt::AlignLeft; break;
    case Right: horizontal = Qt::AlignRight; break;
    case Center: horizontal = Qt::AlignHCenter; break;
    default: Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    }
    m_alignment = alignment;
    QLabel::setAlignment(horizontal | Qt::AlignVCenter);
}

void Etiqueta::setBackcolor(qint32 reference)
{
    m_backColor = checkedColor(reference);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, resolvedColor(reference));
    setPalette(colours);
    setAutoFillBackground(true);
}

void Etiqueta::setForecolor(qint32 reference)
{
    m_foreColor = checkedColor(reference);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, resolvedColor(reference));
    setPalette(colours);
}

} // namespace Kit
