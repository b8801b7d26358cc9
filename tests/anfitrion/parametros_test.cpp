// The parameter text a module sends with its request for another module's screen.
#include "basedeprueba.h"
#include "parametros.h"

#include <gtest/gtest.h>

namespace {

TEST(Parametros, readsEachPairAtItsFirstEqualsSign)
{
    const std::pair<QString, QString> casos[] = {
        // the text sent, the pairs read as "KEY=value" lines in key order
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
    for (const auto &[parametros, esperado] : casos) {
        const QMap<QString, QString> leidos = leeParametros(parametros);
        QStringList pares;
        for (auto par = leidos.cbegin(); par != leidos.cend(); ++par)
            pares << par.key() + '=' + par.value();
        EXPECT_EQ(pares.join('\n'), esperado) << parametros.toStdString();
    }
}

} // namespace
