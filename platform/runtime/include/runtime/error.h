#pragma once

#include "runtime/runtime_export.h"

#include <QString>

#include <exception>
#include <stdexcept>

namespace Runtime {

// The runtime errors users may read: a number and a Spanish description. Every failure
// that reaches an error trap (a conversion, a late-bound call, a database statement)
// arrives as one of these.
namespace ErrorNumber {
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int SubscriptOutOfRange = 9;
inline constexpr int TypeMismatch = 13;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int CannotCreateObject = 429;
inline constexpr int MemberNotFound = 438;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int ItemNotFound = 3265;
inline constexpr int IndexOutOfBounds = 35600;
inline constexpr int Database = -2147217900;
} // namespace ErrorNumber

class RUNTIME_EXPORT RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, const QString &description);
    ~RuntimeError() override;

    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The standard Spanish description of a runtime error number.
RUNTIME_EXPORT QString standardDescription(int number);

[[noreturn]] RUNTIME_EXPORT void raise(int number);
[[noreturn]] RUNTIME_EXPORT void raise(int number, const QString &description);

// Turns whatever was thrown into a runtime error, so a trap has one thing to report.
RUNTIME_EXPORT RuntimeError toRuntimeError(std::exception_ptr failure);

} // namespace Runtime
