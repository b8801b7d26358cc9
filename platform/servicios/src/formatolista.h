#pragma once

#include <QStringList>
#include <QVariant>

#include <vector>

namespace Kit {
class TextTable;
}

namespace Servicios {

// How a list shows the values of a result, column by column, as the suite's users read them
// (see Runtime::mexicanLocale):
// - the first column is the row's text, the folio every action takes: it is shown exactly
//   as the database gives it;
// - a column named for money ("Monto", "Importe", "Precio", "Total", "Subtotal", "Costo",
//   "Saldo": any word of its name that begins so, letter case and accents aside) shows its
//   figures as amounts, "$1,234.50", always with two decimals, and a text that is exactly a
//   number as the database writes one ("-1234.5") too; any other text there is shown as
//   stored after a warning sign ("⚠ $9,999,999.00", see marcaDeMontoNoNumerico);
// - a column named for a code ("Folio", "Clave", "Cve", "Código", "Id", "Año") shows its
//   figures as they are, without thousands separators;
// - any other figure has thousands separators and, throughout its column, as many decimals
//   as the column's figures need (the most any of them needs, six at most): "45,000.0"
//   beside "33,890.5";
// - dates, and texts written as dates ("2026-12-31", "2026-12-31 17:30:00", as SQLite keeps
//   them) read as the forms show them, "31/12/2026", with the time only when there is one.
// The list sorts figures and dates by value (see Kit::TextTable), so the texts decide
// only what is seen. The search, the copies and the CSV take the texts as shown: the user
// finds and exports what he reads.
class FormatoDeLista
{
public:
    // A column whose figures were shown with `antes` decimals and are now shown with `despues`.
    struct CambioDeDecimales
    {
        int columna = 0;
        int antes = 0;
        int despues = 0;
    };

    // `mostrada`: the rows a list shows now under the same headers; its figures give the
    // decimals to begin with, so that an unchanged result reads as the same texts.
    FormatoDeLista(const QStringList &encabezados, const Kit::TextTable *mostrada);

    QString texto(int columna, const QVariant &valor);

    // The columns whose decimals grew with the values read since the last call: the texts
    // already kept for them must be written again.
    std::vector<CambioDeDecimales> tomaCambios();
    // Once every value was read: the columns shown with more decimals than any of their
    // figures needs (they began with the decimals of the rows shown before).
    std::vector<CambioDeDecimales> sobranDecimales();

    // Whether the column's decimals are there for this text of the rows shown: a figure of a
    // column of figures that needs every decimal shown. Without it the column could show fewer.
    bool sostieneDecimales(int columna, const QString &texto) const;

    // A figure written with `antes` decimals, written with `despues`; any other text as it is.
    static QString conDecimales(const QString &texto, int antes, int despues);

private:
    enum class Clase { Folio, Dinero, Clave, Cifra };

    struct Columna
    {
        Clase clase = Clase::Cifra;
        int decimales = -1;  // those its figures are shown with; -1 before any
        int necesarios = -1; // the most any figure read needs
    };

    QString cifra(Columna &columna, int indice, double valor, int necesarios);

    std::vector<Columna> m_columnas;
    std::vector<CambioDeDecimales> m_cambios;
};

} // namespace Servicios
