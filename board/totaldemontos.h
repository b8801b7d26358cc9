#pragma once

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace Kit {
class ListModel;
}

// The sum of a list's "Monto" column as the list shows it, kept up to date as the list
// changes: a refresh that changes a few rows reads only those rows again, so a long list's
// automatic refreshes do not read every amount on the user-interface thread. A new set of
// rows is read once, after the burst of changes that brought it; a long one on a thread of its
// own, over the rows as they were read (the list copies them before it changes any), so the
// window never waits for a million amounts: until they are read, there is no total to say.
class TotalDeMontos final : public QObject
{
    Q_OBJECT

public:
    TotalDeMontos(const Kit::ListModel &modelo, QObject *parent);
    ~TotalDeMontos() override;
    TotalDeMontos(const TotalDeMontos &) = delete;
    TotalDeMontos &operator=(const TotalDeMontos &) = delete;

    // Nothing when the list has no "Monto" column or no amount in it.
    std::optional<double> total() const;
    // The filled cells of the column that hold a text, not an amount (see
    // Servicios::marcaDeMontoNoNumerico): none of them is in the total.
    int fueraDelTotal() const;
    // What the status bar says after the count: " · $1,234.50 en total", and how many cells
    // were left out of it, " (2 montos no numéricos fuera del total)"; nothing without either.
    QString enPalabras() const;

    // The amounts of a column, by row of the table; NaN where a cell holds no amount.
    struct Montos
    {
        std::vector<double> montos;
        std::vector<char> fuera; // whether the cell holds a text instead
        int generacion = 0;
    };

Q_SIGNALS:
    void cambio();

private:
    void releeTodo();
    void releeRenglones(const QList<int> &renglones);
    void adopta(Montos leidos);

    const Kit::ListModel &m_modelo;
    QTimer m_aviso;
    bool m_releerTodo = true;
    int m_columna = -1;
    Montos m_leidos;
    // The reading on its own thread, and the rows changed while it reads.
    QThreadPool m_hilo;
    // Handed over whole: what the thread read is moved in, not copied (9 bytes a row).
    QFutureWatcher<std::shared_ptr<Montos>> m_lectura;
    int m_generacion = 0;
    bool m_leyendo = false;
    QList<int> m_cambiadosMientras;
};
