#include "errores.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

#include <gtest/gtest.h>

#include <variant>

namespace {

using Runtime::ErrorNumber::InvalidPropertyValue;
using Runtime::ErrorNumber::InvalidUseOfNull;
using Runtime::ErrorNumber::Overflow;
using Runtime::ErrorNumber::TypeMismatch;

// The expected outcome of a conversion: a value, or the number of the error it raises.
struct Raises
{
    int number;
};
template<typename Integer> using Outcome = std::variant<Integer, Raises>;

template<typename Integer, typename Convert>
void expectOutcome(const QVariant &input, const Outcome<Integer> &expected, Convert convert)
{
    SCOPED_TRACE(input.toString().toStdString() + " (" + (input.typeName() ? input.typeName() : "Empty") + ")");
    Integer value{};
    const int error = Pruebas::errorDe([&] { value = convert(input); });
    if (const auto *expectedValue = std::get_if<Integer>(&expected))
        EXPECT_EQ(std::pair(error, value), std::pair(0, *expectedValue));
    else
        EXPECT_EQ(error, std::get<Raises>(expected).number);
}

// A half rounds to even, down to -32,768.5; text is read as a number in decimal, "&H" or "&O".
TEST(Integer16Conversion, roundsHalvesToEvenAndRaisesOnOverflowGarbageAndNull)
{
    const std::vector<std::pair<QVariant, Outcome<qint16>>> cases = {
        {0.5, qint16(0)},
        {1.5, qint16(2)},
        {2.5, qint16(2)},
        {-2.5, qint16(-2)},
        {32767, qint16(32767)},
        {32768, Raises{Overflow}},
        {-32768.4, qint16(-32768)},
        {-32768.5, qint16(-32768)},
        {-32768.6, Raises{Overflow}},
        {-32769, Raises{Overflow}},
        {32767.5, Raises{Overflow}},
        {QStringLiteral("  12 "), qint16(12)},
        {QStringLiteral("3.5"), qint16(4)},
        {QStringLiteral("1e3"), qint16(1000)},
        {QStringLiteral("40000"), Raises{Overflow}},
        {QStringLiteral("&HFFFF"), qint16(-1)},
        {QStringLiteral("&H7FFF"), qint16(32767)},
        {QStringLiteral("&H10000"), Raises{Overflow}},
        {QStringLiteral("&O17"), qint16(15)},
        {QStringLiteral(""), Raises{TypeMismatch}},
        {QStringLiteral("   "), Raises{TypeMismatch}},
        {QStringLiteral("abc"), Raises{TypeMismatch}},
        {QStringLiteral("12abc"), Raises{TypeMismatch}},
        {QStringLiteral("nan"), Raises{TypeMismatch}},
        {QStringLiteral("&HZZ"), Raises{TypeMismatch}},
        {true, qint16(-1)},
        {QVariant(), qint16(0)},
        {Runtime::nullValue(), Raises{InvalidUseOfNull}},
    };
    for (const auto &[input, expected] : cases)
        expectOutcome<qint16>(input, expected, &Runtime::toInteger16);
}

TEST(ColorReferenceConversion, readsNumbersDecimalAndHexadecimalTextAsFourByteIntegers)
{
    const std::vector<std::pair<QVariant, Outcome<qint32>>> cases = {
        {QStringLiteral("&HFF"), qint32(0xFF)},
        {QStringLiteral("&hff0000"), qint32(0xFF0000)},
        {QStringLiteral(" &HFFFFFFFF "), qint32(-1)},
        {QStringLiteral("&H80000012"), qint32(0x80000012u)},
        {QStringLiteral("&H100000000"), Raises{Overflow}},
        {QStringLiteral("16711680"), qint32(0xFF0000)},
        {16711680.0, qint32(0xFF0000)},
        {QVariant(qlonglong(1) << 40), Raises{Overflow}},
        {QStringLiteral("1099511627776"), Raises{Overflow}},
        {QStringLiteral("-1"), qint32(-1)},
        {QStringLiteral(""), Raises{TypeMismatch}},
        {QStringLiteral("&H"), Raises{TypeMismatch}},
        {QStringLiteral("&HZZ"), Raises{TypeMismatch}},
        {QStringLiteral("rojo"), Raises{TypeMismatch}},
        {Runtime::nullValue(), Raises{InvalidUseOfNull}},
    };
    for (const auto &[input, expected] : cases)
        expectOutcome<qint32>(input, expected, [](const QVariant &value) { return Runtime::toColorReference(value); });
}

TEST(ColorReference, isLaidOutBlueGreenRedWithTheLowestByteRed)
{
    EXPECT_EQ(Runtime::toQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(Runtime::toQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(Runtime::toQColor(0x4BC9B4), QColor(180, 201, 75));
    EXPECT_EQ(Runtime::toColorReference(QColor(180, 201, 75)), 0x4BC9B4);
}

TEST(ColorReference, acceptsSystemColoursAndRefusesEverythingElseWith380)
{
    QPalette palette;
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    EXPECT_EQ(Runtime::toQColor(qint32(0x80000012u), palette), QColor(1, 2, 3));
    for (const qint32 refused : {qint32(-1), qint32(0x01000000), qint32(0x80000019u), qint32(0x7FFFFFFF)}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(Runtime::isValidColorReference(refused));
        EXPECT_EQ(Pruebas::errorDe([&] { Runtime::toQColor(refused); }), InvalidPropertyValue);
    }
}

TEST(TextConversion, givesEmptyForEmptyRaisesForNullAndWritesNumbersShortest)
{
    EXPECT_EQ(Runtime::toText(QVariant()), QString());
    EXPECT_EQ(Runtime::toText(QVariant(2.5)), QStringLiteral("2.5"));
    EXPECT_EQ(Runtime::toText(QVariant(3.0)), QStringLiteral("3"));
    EXPECT_EQ(Runtime::toText(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(Runtime::toTextOrEmpty(Runtime::nullValue()), QString());
    EXPECT_EQ(Pruebas::errorDe([] { Runtime::toText(Runtime::nullValue()); }), InvalidUseOfNull);
}

} // namespace
