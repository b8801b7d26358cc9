// The 16-bit and 32-bit integer conversions: each gives a value or raises 6, 13 or 94, and
// the two agree with each other, with textIsNumeric, and with the number a text spells.
#include "valores.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

using Fuzz::exige;

// Hexadecimal and octal texts are read at the target's width ("&HFFFF" is -1 in 16 bits
// and 65535 in 32), so the widths only agree up to that.
bool esHexadecimalUOctal(const QVariant &valor)
{
    const QString prefijo = valor.toString().trimmed().left(2).toUpper();
    return prefijo == QLatin1String("&H") || prefijo == QLatin1String("&O");
}

void revisaAnchos(const QVariant &valor, const Fuzz::Resultado<qint16> &corto, const Fuzz::Resultado<qint32> &largo)
{
    using namespace Runtime::ErrorNumber;
    exige((corto.valor || Fuzz::esErrorDeConversion(corto.error))
              && (largo.valor || Fuzz::esErrorDeConversion(largo.error)),
          "an integer conversion raises only 6, 13 or 94");
    if (corto.error == TypeMismatch || corto.error == InvalidUseOfNull || largo.error == TypeMismatch
        || largo.error == InvalidUseOfNull)
        exige(corto.error == largo.error, "13 and 94 do not depend on the width");
    if (largo.error == Overflow)
        exige(corto.error == Overflow, "a wider integer overflows no sooner");
    if (esHexadecimalUOctal(valor)) {
        if (corto.valor)
            exige(largo.valor == qint32(quint16(*corto.valor)), "a 16-bit pattern reads unsigned in 32 bits");
    } else if (largo.valor && *largo.valor == qint16(*largo.valor)) {
        exige(corto.valor == largo.valor, "a value that fits 16 bits converts alike in both widths");
    }
}

// Text that is a number never raises 13, and a small decimal integer reads as itself.
void revisaTexto(const QString &texto, const Fuzz::Resultado<qint16> &corto)
{
    exige(Runtime::textIsNumeric(texto) == (corto.error != Runtime::ErrorNumber::TypeMismatch),
          "textIsNumeric agrees with the conversion");
    static const QRegularExpression enteroCorto(QStringLiteral("^[+-]?[0-9]{1,4}$"));
    const QString limpio = texto.trimmed();
    if (enteroCorto.match(limpio).hasMatch())
        exige(corto.valor == limpio.toInt(), "a small decimal integer reads as itself");
}

// A number rounds to the nearest integer, and overflows only out of range.
template<typename Integer> void revisaRedondeo(double numero, const Fuzz::Resultado<Integer> &resultado)
{
    if (resultado.valor)
        exige(std::fabs(*resultado.valor - numero) <= 0.5, "a number rounds to the nearest integer");
    else
        exige(!(std::fabs(numero) < std::numeric_limits<Integer>::max() + 0.5), "only a number out of range overflows");
}

// A number and its decimal text convert alike.
void revisaNumero(const QVariant &valor, const Fuzz::Resultado<qint16> &corto, const Fuzz::Resultado<qint32> &largo)
{
    const double numero = valor.toDouble();
    revisaRedondeo(numero, corto);
    revisaRedondeo(numero, largo);
    if (!std::isfinite(numero))
        return;
    const QString texto = valor.typeId() == QMetaType::Double ? QString::number(numero, 'g', 17) : valor.toString();
    const QVariant escrito(QLatin1Char(' ') + texto + QLatin1Char(' '));
    exige(Fuzz::convierte([&] { return Runtime::toInteger16(escrito); }) == corto,
          "16 bits: a number reads as its text");
    exige(Fuzz::convierte([&] { return Runtime::toInteger32(escrito); }) == largo,
          "32 bits: a number reads as its text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider datos(data, size);
    const QVariant valor = Fuzz::valorDe(datos);
    const auto corto = Fuzz::convierte([&] { return Runtime::toInteger16(valor); });
    const auto largo = Fuzz::convierte([&] { return Runtime::toInteger32(valor); });
    revisaAnchos(valor, corto, largo);
    if (Runtime::isNull(valor))
        return 0;
    const int tipo = valor.typeId();
    if (tipo == QMetaType::QString || tipo == QMetaType::QByteArray)
        revisaTexto(valor.toString(), corto);
    else if (tipo == QMetaType::LongLong || tipo == QMetaType::Double)
        revisaNumero(valor, corto, largo);
    return 0;
}
