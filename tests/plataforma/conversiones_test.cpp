#include "errores.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/regional.h"

#include <QDate>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <variant>

namespace {

using namespace Runtime::ErrorNumber;

// The expected outcome of a conversion: a value, or the number of the error it raises.
struct Raises
{
    int number;
};
template<typename Integer> using Outcome = std::variant<Integer, Raises>;

// One outcome and every input that must give it.
template<typename Integer> struct Case
{
    Outcome<Integer> expected;
    QVariantList inputs;
};

template<typename Integer, typename Convert>
void expectOutcomes(const std::vector<Case<Integer>> &cases, Convert convert)
{
    for (const auto &[expected, inputs] : cases) {
        for (const QVariant &input : inputs) {
            SCOPED_TRACE(input.toString().toStdString() + " (" + (input.typeName() ? input.typeName() : "Empty") + ")");
            Integer value{};
            const int error = Pruebas::errorDe([&] { value = convert(input); });
            if (const auto *expectedValue = std::get_if<Integer>(&expected))
                EXPECT_EQ(std::pair(error, value), std::pair(0, *expectedValue));
            else
                EXPECT_EQ(error, std::get<Raises>(expected).number);
        }
    }
}

// A half rounds to even, down to -32,768.5; text is read as a number in decimal, "&H" or "&O".
TEST(Integer16Conversion, roundsHalvesToEvenAndRaisesOnOverflowGarbageAndNull)
{
    expectOutcomes<qint16>(
        {
            {qint16(0), {0.5, QVariant()}},
            {qint16(2), {1.5, 2.5}},
            {qint16(-2), {-2.5}},
            {qint16(32767), {32767, "&H7FFF"}},
            {qint16(-32768), {-32768.4, -32768.5}},
            {Raises{Overflow}, {32768, -32768.6, -32769, 32767.5, "40000", "&H10000"}},
            {qint16(12), {"  12 "}},
            {qint16(4), {"3.5"}},
            {qint16(1000), {"1e3"}},
            {qint16(-1), {"&HFFFF", true}},
            {qint16(15), {"&O17"}},
            {Raises{TypeMismatch}, {"", "   ", "abc", "12abc", "nan", "&HZZ"}},
            {Raises{InvalidUseOfNull}, {Runtime::nullValue()}},
        },
        &Runtime::toInteger16);
}

TEST(ColorReferenceConversion, readsNumbersDecimalAndHexadecimalTextAsFourByteIntegers)
{
    expectOutcomes<qint32>(
        {
            {qint32(0xFF), {"&HFF"}},
            {qint32(0xFF0000), {"&hff0000", "16711680", 16711680.0}},
            {qint32(-1), {" &HFFFFFFFF ", "-1"}},
            {qint32(0x80000012u), {"&H80000012"}},
            {Raises{Overflow}, {"&H100000000", QVariant(qlonglong(1) << 40), "1099511627776"}},
            {Raises{TypeMismatch}, {"", "&H", "&HZZ", "rojo"}},
            {Raises{InvalidUseOfNull}, {Runtime::nullValue()}},
        },
        [](const QVariant &value) { return Runtime::toColorReference(value); });
}

// A reference is laid out blue-green-red, lowest byte red, or names a system colour of the
// palette; anything else is refused with 380.
TEST(ColorReference, isLaidOutBlueGreenRedOrNamesASystemColourAndRefusesEverythingElseWith380)
{
    EXPECT_EQ(Runtime::toColorReference(QColor(180, 201, 75)), 0x4BC9B4);
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
    const QStringList textos = {Runtime::toText(QVariant()), Runtime::toText(2.5), Runtime::toText(3.0),
                                Runtime::toText(42), Runtime::toTextOrEmpty(Runtime::nullValue())};
    EXPECT_EQ(textos.join('|'), "|2.5|3|42|");
    EXPECT_EQ(Pruebas::errorDe([] { Runtime::toText(Runtime::nullValue()); }), InvalidUseOfNull);
}

// The list writes figures and dates by hand for speed: exactly as the Mexican locale writes
// them, but without a sign on a figure that rounds to zero.
TEST(Regional, writesFiguresAndDatesAsTheMexicanLocaleDoes)
{
    for (const double valor : {0.0, -0.0, 0.004, -0.004, 1.0, 12.5, 0.125, -2.5, 1.005, 999.999, 1000.0, -1234.5,
                               33890.44, 1e15, -9.87654321e12, 123456789012.345, 1e300})
        for (const int decimales : {0, 1, 2, 6})
            EXPECT_EQ(Runtime::formatNumber(valor, decimales),
                      Runtime::mexicanLocale()
                          .toString(valor, 'f', decimales)
                          .replace(QRegularExpression("^-(?=[0.]+$)"), QString()))
                << valor << " " << decimales;
    EXPECT_EQ(QStringList({Runtime::formatAmount(-0.001), Runtime::formatInteger(std::numeric_limits<qint64>::min()),
                           Runtime::formatInteger(-999), Runtime::formatInteger(1000)}),
              QStringList({"$0.00", "-9,223,372,036,854,775,808", "-999", "1,000"}));
    for (const QDate fecha : {QDate(1000, 2, 3), QDate(999, 9, 9), QDate(9999, 12, 31)})
        EXPECT_EQ(Runtime::formatDate(fecha), fecha.toString(Runtime::dateFormat)) << fecha.year();
}

} // namespace
