#include "runtime/latebinding.h"

#include "runtime/error.h"

#include <QMetaMethod>
#include <QMetaObject>
#include <QObject>

#include <array>
#include <vector>

namespace Runtime {
namespace {

constexpr int maximumArguments = 10;

QMetaMethod findMethod(const QMetaObject *meta, const QByteArray &name, qsizetype argumentCount)
{
    for (int index = meta->methodCount() - 1; index >= 0; --index) {
        const QMetaMethod method = meta->method(index);
        if (method.methodType() == QMetaMethod::Signal || method.access() != QMetaMethod::Public)
            continue;
        if (method.name() == name && method.parameterCount() == argumentCount)
            return method;
    }
    return {};
}

} // namespace

QVariant readMember(const QObject *object, const char *name)
{
    if (!object)
        raise(ErrorNumber::ObjectNotSet);
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name);
    if (index < 0) {
        if (object->dynamicPropertyNames().contains(QByteArray(name)))
            return object->property(name);
        raise(ErrorNumber::MemberNotFound);
    }
    const QMetaProperty property = meta->property(index);
    if (!property.isReadable())
        raise(ErrorNumber::MemberNotFound);
    return property.read(object);
}

QVariant callMember(QObject *object, const char *name, const QVariantList &arguments)
{
    if (!object)
        raise(ErrorNumber::ObjectNotSet);
    if (arguments.size() > maximumArguments)
        raise(ErrorNumber::InvalidCall);
    const QMetaMethod method = findMethod(object->metaObject(), QByteArray(name), arguments.size());
    if (!method.isValid())
        raise(ErrorNumber::MemberNotFound);

    std::vector<QVariant> converted;
    converted.reserve(size_t(arguments.size()));
    std::array<QGenericArgument, maximumArguments> generic{};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QMetaType wanted = method.parameterMetaType(int(i));
        QVariant value = arguments.at(i);
        if (wanted.id() != QMetaType::QVariant && !value.convert(wanted))
            raise(ErrorNumber::TypeMismatch);
        converted.push_back(std::move(value));
        QVariant &stored = converted.back();
        generic[size_t(i)] = wanted.id() == QMetaType::QVariant ? QGenericArgument("QVariant", &arguments.at(i))
                                                                : QGenericArgument(wanted.name(), stored.constData());
    }

    QVariant result;
    QGenericReturnArgument returned;
    if (method.returnMetaType().id() != QMetaType::Void) {
        result = QVariant(method.returnMetaType());
        returned = QGenericReturnArgument(method.returnMetaType().name(), result.data());
    }
    const bool invoked = method.invoke(object, Qt::DirectConnection, returned, generic[0], generic[1], generic[2],
                                       generic[3], generic[4], generic[5], generic[6], generic[7], generic[8],
                                       generic[9]);
    if (!invoked)
        raise(ErrorNumber::MemberNotFound);
    return result;
}

} // namespace Runtime
