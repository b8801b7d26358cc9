#include "propertyvalues.h"

#include "runtime/colors.h"
#include "runtime/error.h"

#include <QGuiApplication>

namespace Kit {

Q_LOGGING_CATEGORY(logControles, "teqvaro.controles")

bool isYes(const QString &value)
{
    return value.trimmed().compare(QLatin1String("SI"), Qt::CaseInsensitive) == 0;
}

qint32 checkedColor(qint32 reference)
{
    if (!Runtime::isValidColorReference(reference))
        Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
    return reference;
}

QColor resolvedColor(qint32 reference)
{
    return Runtime::toQColor(reference, QGuiApplication::palette());
}

} // namespace Kit
