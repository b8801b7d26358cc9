// The merge of the rows read again with the rows shown, on rows read from the test database:
// where the new rows go, and when only a whole reading can be trusted.
#include "basedeprueba.h"

#include "servicios/mezclalista.h"

#include "ado/connection.h"
#include "controles/texttable.h"

#include <gtest/gtest.h>

namespace {

// The rows shown: F1 1.25, F2 2.50, F3 3.00, a column of figures with two decimals that F1
// alone needs.
std::shared_ptr<Kit::TextTable> mostradas()
{
    auto tabla = std::make_shared<Kit::TextTable>();
    for (const auto &[folio, cifra] : {std::pair{"F1", "1.25"}, {"F2", "2.50"}, {"F3", "3.00"}})
        tabla->appendRow(std::vector<QString>{folio, cifra});
    return tabla;
}

// "folio cifra" for each row of the result, or "ninguna" when it must be read whole.
QStringList mezcla(Ado::Connection &conexion, const QString &releidas, const QStringList &folios)
{
    const Kit::ListSnapshot antes{{"Folio", "Cifra"}, mostradas(), std::nullopt};
    Ado::Recordset filas = conexion.Execute(QStringLiteral("SELECT column1 AS \"Folio\", column2 AS \"Cifra\" "
                                                           "FROM (VALUES ('-', 0.5) %1) AS v WHERE column1 <> '-'")
                                                .arg(releidas));
    // The database's order, here the texts' own.
    const Servicios::OrdenDeFolios orden{.ordena =
                                             [](QStringList nuevos) {
                                                 nuevos.sort();
                                                 return nuevos;
                                             },
                                         .antes =
                                             [](const QStringList &primeros, const QStringList &segundos) {
                                                 std::vector<bool> antes;
                                                 for (qsizetype par = 0; par < primeros.size(); ++par)
                                                     antes.push_back(primeros[par] < segundos[par]);
                                                 return antes;
                                             }};
    const std::optional<Servicios::Mezcla> mezclada = Servicios::mezclaLista(
        filas, antes, QSet<QString>(folios.cbegin(), folios.cend()), orden);
    if (!mezclada)
        return {"ninguna"};
    const Kit::TextTable &tabla = mezclada->actualizacion.table ? *mezclada->actualizacion.table : *antes.table;
    QStringList resultado;
    for (int fila = 0; fila < tabla.rowCount(); ++fila)
        resultado << tabla.text(fila, 0) + ' ' + tabla.text(fila, 1);
    for (const Kit::ListUpdate::RowChange &cambio : mezclada->actualizacion.changes)
        resultado[cambio.row] = cambio.texts.join(' ');
    return resultado;
}

TEST(MezclaLista, newRowsGoAfterTheRowBeforeThemAndWhatCouldChangeOtherRowsIsReadWhole)
{
    Pruebas::BaseDePrueba base;
    const std::vector<std::tuple<const char *, QStringList, QStringList>> casos = {
        // rows read again (folio, figure), folios changed, result
        {", ('F2', 2.75)", {"F2"}, {"F1 1.25", "F2 2.75", "F3 3.00"}},
        {", ('F25', 4.5), ('F0', 0.5), ('F4', 4)",
         {"F25", "F0", "F4"},
         {"F0 0.50", "F1 1.25", "F2 2.50", "F25 4.50", "F3 3.00", "F4 4.00"}},
        {"", {"F3"}, {"F1 1.25", "F2 2.50"}},            // F3 left the view
        {"", {"F1"}, {"ninguna"}},                       // F1 held the decimals
        {", ('F1', 1.5)", {"F1"}, {"ninguna"}},          // and now needs fewer
        {", ('F4', 4.125)", {"F4"}, {"ninguna"}},        // more decimals for all
        {", ('F2', 2), ('F2', 2)", {"F2"}, {"ninguna"}}, // a folio twice
        {", ('F7', 7)", {"F2"}, {"ninguna"}},            // a folio not asked for
    };
    for (const auto &[releidas, folios, resultado] : casos) {
        SCOPED_TRACE(releidas);
        EXPECT_EQ(mezcla(*base.conexion(), QString::fromUtf8(releidas), folios), resultado);
    }
}

} // namespace
