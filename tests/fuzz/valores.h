#pragma once

// What the targets share: text or a value of any kind a form's code may hand to a
// conversion, made from the fuzzer's bytes, the outcome of a conversion, and a check that
// stops the run at the first broken rule.

#include "runtime/conversions.h"
#include "runtime/error.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace Fuzz {

enum class Forma : std::uint8_t { TextoUtf8, TextoLatin1, Bytes, Entero, Real, Nulo, Vacio, kMaxValue = Vacio };

// All the remaining bytes, as UTF-8 or Latin-1 text.
inline QString textoDe(FuzzedDataProvider &datos, bool utf8)
{
    const QByteArray bytes = QByteArray::fromStdString(datos.ConsumeRemainingBytesAsString());
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

// The last byte chooses the kind; text takes all the other bytes, numbers take their raw
// bits (so a real may be infinite or not a number).
inline QVariant valorDe(FuzzedDataProvider &datos)
{
    switch (datos.ConsumeEnum<Forma>()) {
    case Forma::TextoUtf8: return textoDe(datos, true);
    case Forma::TextoLatin1: return textoDe(datos, false);
    case Forma::Bytes: return QByteArray::fromStdString(datos.ConsumeRemainingBytesAsString());
    case Forma::Entero: return QVariant::fromValue(datos.ConsumeIntegral<qint64>());
    case Forma::Real: return std::bit_cast<double>(datos.ConsumeIntegral<std::uint64_t>());
    case Forma::Nulo: return Runtime::nullValue();
    case Forma::Vacio: return QVariant();
    }
    return QVariant();
}

// A conversion gives a value or raises a runtime error; any other exception leaves the
// target, and libFuzzer reports it as a crash.
template<typename T> struct Resultado
{
    std::optional<T> valor;
    int error = 0;
    bool operator==(const Resultado &) const = default;
};

template<typename Conversion> auto convierte(Conversion &&conversion) -> Resultado<decltype(conversion())>
{
    try {
        return {conversion(), 0};
    } catch (const Runtime::RuntimeError &error) {
        return {std::nullopt, error.number()};
    }
}

// The errors a value's conversion may raise: overflow, a type that does not convert, Null.
inline bool esErrorDeConversion(int error)
{
    return error == Runtime::ErrorNumber::Overflow || error == Runtime::ErrorNumber::TypeMismatch
           || error == Runtime::ErrorNumber::InvalidUseOfNull;
}

inline void exige(bool cumple, const char *regla)
{
    if (cumple)
        return;
    std::fprintf(stderr, "Regla rota: %s\n", regla);
    std::abort();
}

} // namespace Fuzz
