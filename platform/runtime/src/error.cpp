#include "runtime/error.h"

#include <new>

namespace Runtime {

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
{ }

RuntimeError::~RuntimeError() = default;

QString standardDescription(int number)
{
    switch (number) {
    case ErrorNumber::InvalidCall: return QStringLiteral("Llamada a procedimiento o argumento no válido");
    case ErrorNumber::Overflow: return QStringLiteral("Desbordamiento");
    case ErrorNumber::OutOfMemory: return QStringLiteral("Memoria insuficiente");
    case ErrorNumber::SubscriptOutOfRange: return QStringLiteral("El subíndice está fuera del intervalo");
    case ErrorNumber::TypeMismatch: return QStringLiteral("No coinciden los tipos");
    case ErrorNumber::ObjectNotSet: return QStringLiteral("Variable de objeto o bloque With no establecido");
    case ErrorNumber::InvalidUseOfNull: return QStringLiteral("Uso no válido de Null");
    case ErrorNumber::InvalidPropertyValue: return QStringLiteral("Valor de propiedad no válido");
    case ErrorNumber::CannotCreateObject: return QStringLiteral("El componente no puede crear el objeto");
    case ErrorNumber::MemberNotFound: return QStringLiteral("El objeto no acepta esta propiedad o método");
    case ErrorNumber::NoCurrentRecord:
        return QStringLiteral(
            "BOF o EOF es True, o el registro actual se eliminó; la operación requiere un registro actual");
    case ErrorNumber::ItemNotFound:
        return QStringLiteral(
            "No se encontró el elemento en la colección que corresponde con el nombre o el ordinal pedido");
    case ErrorNumber::IndexOutOfBounds: return QStringLiteral("El índice está fuera de los límites");
    default: return QStringLiteral("Error definido por la aplicación o el objeto");
    }
}

void raise(int number)
{
    throw RuntimeError(number, standardDescription(number));
}

void raise(int number, const QString &description)
{
    throw RuntimeError(number, description);
}

RuntimeError toRuntimeError(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const RuntimeError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RuntimeError(ErrorNumber::OutOfMemory, standardDescription(ErrorNumber::OutOfMemory));
    } catch (const std::exception &other) {
        return RuntimeError(ErrorNumber::InvalidCall, QString::fromLocal8Bit(other.what()));
    } catch (...) {
        return RuntimeError(ErrorNumber::InvalidCall, standardDescription(ErrorNumber::InvalidCall));
    }
}

} // namespace Runtime
