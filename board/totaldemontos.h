#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <vector>

namespace Kit {
class ListModel;
}

// The sum of a list's "Monto" column as the list shows it, kept up to date as the list
// changes: a refresh that changes a few rows reads only those rows again, so a long list's
// automatic refreshes do not read every amount on the user-interface thread. A new set of
// rows is read once, after the burst of changes that brought it.
class TotalDeMontos final : public QObject
{
    Q_OBJECT

public:
    TotalDeMontos(const Kit::ListModel &modelo, QObject *parent);

    // Nothing when the list has no "Monto" column or no amount in it.
    std::optional<double> total() const;
    // The filled cells of the column that hold a text, not an amount (see
    // Servicios::marcaDeMontoNoNumerico): none of them is in the total.
    int fueraDelTotal() const;
    // What the status bar says after the count: " · $1,234.50 en total", and how many cells
    // were left out of it, " (2 montos no numéricos fuera del total)"; nothing without either.
    QString enPalabras() const;

Q_SIGNALS:
    void cambio();

private:
    void releeTodo();
    void releeRenglones(int primero, int ultimo);
    void leeRenglon(int renglonDeLaTabla);

    const Kit::ListModel &m_modelo;
    QTimer m_aviso;
    bool m_releerTodo = true;
    int m_columna = -1;
    std::vector<double> m_montos; // by row of the table; NaN where the cell holds no amount
    std::vector<char> m_fuera;    // by row of the table: whether the cell holds a text instead
};
