// The colour conversion takes whatever a form's code hands it: it gives a colour reference
// or raises a runtime error, and every reference that the list and the picker accept makes
// a valid colour (an RGB one converts back to the same reference); any other is refused
// with 380.
#include "valores.h"

#include "runtime/colors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider datos(data, size);
    const QVariant valor = Fuzz::valorDe(datos);
    const auto referencia = Fuzz::convierte([&] { return Runtime::toColorReference(valor); });
    if (!referencia.valor) {
        Fuzz::exige(Fuzz::esErrorDeConversion(referencia.error), "a colour raises only 6, 13 or 94");
        return 0;
    }
    const qint32 bits = *referencia.valor;
    const auto color = Fuzz::convierte([&] { return Runtime::toQColor(bits); });
    if (!Runtime::isValidColorReference(bits)) {
        Fuzz::exige(color.error == Runtime::ErrorNumber::InvalidPropertyValue, "a refused reference raises 380");
        return 0;
    }
    Fuzz::exige(color.valor && color.valor->isValid(), "an accepted reference makes a valid colour");
    if (bits >= 0)
        Fuzz::exige(Runtime::toColorReference(*color.valor) == bits, "an RGB colour converts back to its reference");
    return 0;
}
