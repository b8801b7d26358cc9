// The board's list of views, read from whatever an administrator typed: every view has a
// name and a key that are not blank, neither holds the entry separator ',' and the name has
// no '|'; writing the views back as "name|key" joined by ',' reads as the same views.
#include "listavistas.h"
#include "valores.h"

#include <QStringList>

namespace {

QString escribe(const std::vector<Vista> &vistas)
{
    QStringList entradas;
    for (const Vista &vista : vistas)
        entradas.append(vista.nombre + QLatin1Char('|') + vista.consulta);
    return entradas.join(QLatin1Char(','));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider datos(data, size);
    const std::vector<Vista> vistas = LeeVistas(Fuzz::textoDe(datos, datos.ConsumeBool()));
    for (const Vista &vista : vistas) {
        Fuzz::exige(!vista.nombre.trimmed().isEmpty() && !vista.consulta.trimmed().isEmpty(),
                    "a view has a name and a key");
        Fuzz::exige(!vista.nombre.contains(QLatin1Char(',')) && !vista.consulta.contains(QLatin1Char(',')),
                    "a view holds no ','");
        Fuzz::exige(!vista.nombre.contains(QLatin1Char('|')), "a name holds no '|'");
    }
    // Names hold no '|' and nothing holds ',', so two lists that write alike are the same.
    Fuzz::exige(escribe(LeeVistas(escribe(vistas))) == escribe(vistas), "written views read back the same");
    return 0;
}
