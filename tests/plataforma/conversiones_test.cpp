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
    if (const auto *value = std::get_if<Integer>(&expected)) {
        EXPECT_EQ(convert(input), *value);
        return;
    }
    try {
        convert(input);
        ADD_FAILURE() << "expected error " << std::get<Raises>(expected).number;
    } catch (const Runtime::RuntimeError &error) {
        EXPECT_EQ(error.number(), std::get<Raises>(expected).number);
        EXPECT_FALSE(error.description().isEmpty());
    }
}

TEST(Integer16Conversion, roundsHalvesToEvenAndRaisesOnOverflowGarbageAndNull)
{
    const std::vector<std::pair<QVariant, Outcome<qint16>>> cases = {
        {QVariant(0.5), qint16(0)},
        {QVariant(1.5), qint16(2)},
        {QVariant(2.5), qint16(2)},
        {QVariant(-2.5), qint16(-2)},
        {QVariant(32767), qint16(32767)},
        {QVariant(32768), Raises{Overflow}},
        {QVariant(-32768.4), qint16(-32768)},
        {QVariant(-32768.5), qint16(-32768)}, // a half rounds to even
        {QVariant(-32768.6), Raises{Overflow}},
        {QVariant(-32769), Raises{Overflow}},
        {QVariant(32767.5), Raises{Overflow}},
        {QVariant(QStringLiteral("  12 ")), qint16(12)},
        {QVariant(QStringLiteral("3.5")), qint16(4)},
        {QVariant(QStringLiteral("1e3")), qint16(1000)},
        {QVariant(QStringLiteral("40000")), Raises{Overflow}},
        {QVariant(QStringLiteral("&HFFFF")), qint16(-1)},
        {QVariant(QStringLiteral("&H7FFF")), qint16(32767)},
        {QVariant(QStringLiteral("&H10000")), Raises{Overflow}},
        {QVariant(QStringLiteral("&O17")), qint16(15)},
        {QVariant(QStringLiteral("")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("   ")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("abc")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("12abc")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("nan")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("&HZZ")), Raises{TypeMismatch}},
        {QVariant(true), qint16(-1)},
        {QVariant(), qint16(0)},
        {Runtime::nullValue(), Raises{InvalidUseOfNull}},
    };
    for (const auto &[input, expected] : cases)
        expectOutcome<qint16>(input, expected, &Runtime::toInteger16);
}

TEST(ColorReferenceConversion, readsNumbersDecimalAndHexadecimalTextAsFourByteIntegers)
{
    const std::vector<std::pair<QVariant, Outcome<qint32>>> cases = {
        {QVariant(QStringLiteral("&HFF")), qint32(0xFF)},
        {QVariant(QStringLiteral("&hff0000")), qint32(0xFF0000)},
        {QVariant(QStringLiteral(" &HFFFFFFFF ")), qint32(-1)},
        {QVariant(QStringLiteral("&H80000012")), qint32(0x80000012u)},
        {QVariant(QStringLiteral("&H100000000")), Raises{Overflow}},
        {QVariant(QStringLiteral("16711680")), qint32(0xFF0000)},
        {QVariant(16711680.0), qint32(0xFF0000)},
        {QVariant(qlonglong(1) << 40), Raises{Overflow}},
        {QVariant(QStringLiteral("1099511627776")), Raises{Overflow}},
        {QVariant(QStringLiteral("-1")), qint32(-1)},
        {QVariant(QStringLiteral("")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("&H")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("&HZZ")), Raises{TypeMismatch}},
        {QVariant(QStringLiteral("rojo")), Raises{TypeMismatch}},
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
        try {
            Runtime::toQColor(refused);
            ADD_FAILURE() << "a colour outside the list's range was accepted";
        } catch (const Runtime::RuntimeError &error) {
            EXPECT_EQ(error.number(), InvalidPropertyValue);
        }
    }
}

TEST(TextConversion, givesEmptyForEmptyRaisesForNullAndWritesNumbersShortest)
{
    EXPECT_EQ(Runtime::toText(QVariant()), QString());
    EXPECT_EQ(Runtime::toText(QVariant(2.5)), QStringLiteral("2.5"));
    EXPECT_EQ(Runtime::toText(QVariant(3.0)), QStringLiteral("3"));
    EXPECT_EQ(Runtime::toText(QVariant(42)), QStringLiteral("42"));
    EXPECT_EQ(Runtime::toTextOrEmpty(Runtime::nullValue()), QString());
    EXPECT_THROW(Runtime::toText(Runtime::nullValue()), Runtime::RuntimeError);
}

} // namespace
