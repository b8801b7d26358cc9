// The parameter text a module sends with its request for another module's screen.
#include "basedeprueba.h"
#include "parametros.h"

#include <gtest/gtest.h>

namespace {

TEST(Parametros, readsEachPairAtItsFirstEqualsSign)
{
    using Pares = QMap<QString, QString>;
    const std::pair<QString, Pares> casos[] = {
        // the text sent, the pairs read
        {"ACCION=CONSULTA|DATO=C001", {{"ACCION", "CONSULTA"}, {"DATO", "C001"}}},
        {"ACCION=EDITAR|DATO=A=B=C", {{"ACCION", "EDITAR"}, {"DATO", "A=B=C"}}}, // a value holding '='
        {"ACCION=A=B|NUEVO=X", {{"ACCION", "A=B"}, {"NUEVO", "X"}}},
        {"ACCION=CONSULTA|DATO=", {{"ACCION", "CONSULTA"}, {"DATO", ""}}},   // an empty value
        {"ACCION=NUEVO|DATO", {{"ACCION", "NUEVO"}, {"DATO", ""}}},          // a key alone
        {"DATO=O'Connor, S.A.", {{"DATO", "O'Connor, S.A."}}},               // quotes and commas as written
        {"DATO= C001 ", {{"DATO", " C001 "}}},                               // values are not trimmed
        {" accion =consulta", {{"ACCION", "consulta"}}},                     // keys are
        {"|ACCION=NUEVO||", {{"ACCION", "NUEVO"}}},                          // empty pairs
        {"=sin clave|ACCION=NUEVO", {{"ACCION", "NUEVO"}}},                  // a pair without a key
        {"ACCION=CONSULTA|ACCION=EDITAR", {{"ACCION", "EDITAR"}}},           // the last one holds
        {"ACCION=EDITAR|DATO=A|B", {{"ACCION", "EDITAR"}, {"DATO", "A|B"}}}, // DATO takes the rest, '|' included
        {"ACCION=EDITAR|dato =|A=1|", {{"ACCION", "EDITAR"}, {"DATO", "|A=1|"}}},
        {"", {}},
    };
    for (const auto &[parametros, esperados] : casos)
        EXPECT_EQ(leeParametros(parametros), esperados) << parametros.toStdString();
}

} // namespace
