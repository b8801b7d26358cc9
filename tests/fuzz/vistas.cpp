// The board's list of views, read from whatever an administrator typed: every view has a
// name and a key that are not blank, neither holds the entry separator ',' and the name has
// no '|'; writing the views back as "name|key" joined by ',' reads as the same views.
#include "listavistas.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

void exige(bool cumple, const char *regla)
{
    if (cumple)
        return;
    std::fprintf(stderr, "Regla rota: %s\n", regla);
    std::abort();
}

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
    const QString texto = datos.ConsumeBool()
                              ? QString::fromUtf8(QByteArray::fromStdString(datos.ConsumeRemainingBytesAsString()))
                              : QString::fromLatin1(QByteArray::fromStdString(datos.ConsumeRemainingBytesAsString()));
    const std::vector<Vista> vistas = LeeVistas(texto);
    for (const Vista &vista : vistas) {
        exige(!vista.nombre.trimmed().isEmpty() && !vista.consulta.trimmed().isEmpty(), "a view has a name and a key");
        exige(!vista.nombre.contains(QLatin1Char(',')) && !vista.consulta.contains(QLatin1Char(',')),
              "a view holds no ','");
        exige(!vista.nombre.contains(QLatin1Char('|')), "a name holds no '|'");
    }
    const std::vector<Vista> releidas = LeeVistas(escribe(vistas));
    exige(releidas.size() == vistas.size(), "written views read back as many");
    for (std::size_t i = 0; i < vistas.size(); ++i)
        exige(releidas[i].nombre == vistas[i].nombre && releidas[i].consulta == vistas[i].consulta,
              "written views read back the same");
    return 0;
}
