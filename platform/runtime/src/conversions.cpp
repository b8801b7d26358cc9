#include "runtime/conversions.h"

#include "runtime/error.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace Runtime {
namespace {

// A number read from text: either a decimal value, or the raw bits of a hexadecimal or
// octal literal, which are reinterpreted for the target width.
struct ParsedNumber
{
    double decimal = 0;
    std::optional<quint64> radixBits;
};

int digitValue(QChar character)
{
    const char16_t code = character.unicode();
    if (code >= u'0' && code <= u'9')
        return code - u'0';
    if (code >= u'a' && code <= u'f')
        return code - u'a' + 10;
    if (code >= u'A' && code <= u'F')
        return code - u'A' + 10;
    return -1;
}

std::optional<quint64> parseRadixDigits(QStringView digits, int radix)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 bits = 0;
    for (const QChar character : digits) {
        const int digit = digitValue(character);
        if (digit < 0 || digit >= radix)
            return std::nullopt;
        if (bits > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(radix))
            return std::numeric_limits<quint64>::max(); // too wide for any target: overflow

        bits = bits * quint64(radix) + quint64(digit);
    }
    return bits;
}

std::optional<ParsedNumber> parseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() > 2 && trimmed.at(0) == QLatin1Char('&')) {
        const QChar prefix = trimmed.at(1).toUpper();
        const int radix = prefix == QLatin1Char('H') ? 16 : prefix == QLatin1Char('O') ? 8 : 0;
        if (radix == 0)
            return std::nullopt;
        const auto bits = parseRadixDigits(QStringView(trimmed).mid(2), radix);
        if (!bits)
            return std::nullopt;
        return ParsedNumber{0, bits};
    }
    // Decimal digits with an optional sign, point and exponent; nothing else (no "inf",
    // no "nan", no hexadecimal float).
    static const QRegularExpression decimalPattern(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!decimalPattern.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return ParsedNumber{value, std::nullopt};
}

template<typename Integer> Integer roundToInteger(double value)
{
    if (!std::isfinite(value))
        raise(ErrorNumber::Overflow);
    const double rounded = std::nearbyint(value); // the default rounding mode is to even
    if (rounded < double(std::numeric_limits<Integer>::min()) || rounded > double(std::numeric_limits<Integer>::max()))
        raise(ErrorNumber::Overflow);
    return Integer(rounded);
}

template<typename Integer> Integer fromRadixBits(quint64 bits)
{
    using Unsigned = std::make_unsigned_t<Integer>;
    if (bits > quint64(std::numeric_limits<Unsigned>::max()))
        raise(ErrorNumber::Overflow);
    return Integer(Unsigned(bits));
}

template<typename Integer> Integer toInteger(const QVariant &value)
{
    if (!value.isValid())
        return 0;
    if (value.isNull())
        raise(ErrorNumber::InvalidUseOfNull);
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool() ? Integer(-1) : Integer(0);
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar: {
        const qint64 whole = value.toLongLong();
        if (whole < std::numeric_limits<Integer>::min() || whole > std::numeric_limits<Integer>::max())
            raise(ErrorNumber::Overflow);
        return Integer(whole);
    }
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: {
        const quint64 whole = value.toULongLong();
        if (whole > quint64(std::numeric_limits<Integer>::max()))
            raise(ErrorNumber::Overflow);
        return Integer(whole);
    }
    case QMetaType::Double:
    case QMetaType::Float: return roundToInteger<Integer>(value.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        const auto parsed = parseNumber(value.toString());
        if (!parsed)
            raise(ErrorNumber::TypeMismatch);
        if (parsed->radixBits)
            return fromRadixBits<Integer>(*parsed->radixBits);
        return roundToInteger<Integer>(parsed->decimal);
    }
    default: raise(ErrorNumber::TypeMismatch);
    }
}

} // namespace

bool isEmpty(const QVariant &value)
{
    return !value.isValid();
}

bool isNull(const QVariant &value)
{
    return value.isValid() && value.isNull();
}

QVariant nullValue()
{
    return QVariant(QMetaType::fromType<QString>());
}

qint16 toInteger16(const QVariant &value)
{
    return toInteger<qint16>(value);
}

qint32 toInteger32(const QVariant &value)
{
    return toInteger<qint32>(value);
}

qint32 toColorReference(const QVariant &value)
{
    return toInteger<qint32>(value);
}

QString toText(const QVariant &value)
{
    if (!value.isValid())
        return QString();
    if (value.isNull())
        raise(ErrorNumber::InvalidUseOfNull);
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("Verdadero") : QStringLiteral("Falso");
    case QMetaType::Double:
    case QMetaType::Float: return QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default: break;
    }
    if (!value.canConvert<QString>())
        raise(ErrorNumber::TypeMismatch);
    return value.toString();
}

QString toTextOrEmpty(const QVariant &value)
{
    return isNull(value) ? QString() : toText(value);
}

bool textIsNumeric(const QString &text)
{
    return parseNumber(text).has_value();
}

} // namespace Runtime
