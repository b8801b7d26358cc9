// The parameter text a module sends with its request for another module's screen.
#include "basedeprueba.h"
#include "parametros.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The pairs read, as "KEY=value" lines in key order, for one readable comparison.
QString leidos(const QString &parametros)
{
    QStringList pares;
    const QMap<QString, QString> mapa = leeParametros(parametros);
    for (auto par = mapa.cbegin(); par != mapa.cend(); ++par)
        pares << par.key() + QLatin1Char('=') + par.value();
    return pares.join(QLatin1Char('\n'));
}

TEST(Parametros, readsEachPairAtItsFirstEqualsSign)
{
    struct Caso
    {
        const char *parametros;
        const char *esperado;
    };
    const std::vector<Caso> casos = {
        {"ACCION=CONSULTA|DATO=C001", "ACCION=CONSULTA\nDATO=C001"},
        {"ACCION=EDITAR|DATO=A=B=C", "ACCION=EDITAR\nDATO=A=B=C"}, // a value holding '='
        {"ACCION=CONSULTA|DATO=", "ACCION=CONSULTA\nDATO="},       // an empty value
        {"ACCION=NUEVO|DATO", "ACCION=NUEVO\nDATO="},              // a key alone
        {"DATO=O'Connor, S.A.", "DATO=O'Connor, S.A."},            // quotes and commas as written
        {"DATO= C001 ", "DATO= C001 "},                            // values are not trimmed
        {" accion =consulta", "ACCION=consulta"},                  // keys are
        {"|ACCION=NUEVO||", "ACCION=NUEVO"},                       // empty pairs
        {"=sin clave|ACCION=NUEVO", "ACCION=NUEVO"},               // a pair without a key
        {"ACCION=CONSULTA|ACCION=EDITAR", "ACCION=EDITAR"},        // the last one holds
        {"ACCION=EDITAR|DATO=A|B", "ACCION=EDITAR\nDATO=A|B"},     // DATO takes the rest, '|' included
        {"ACCION=EDITAR|dato =|A=1|", "ACCION=EDITAR\nDATO=|A=1|"},
        {"", ""},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.parametros);
        EXPECT_EQ(leidos(QString::fromUtf8(caso.parametros)), QString::fromUtf8(caso.esperado));
    }
}

} // namespace
