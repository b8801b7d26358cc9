#pragma once

#include <QPointer>
#include <QToolBar>

class QLabel;
class QLineEdit;

namespace Kit {
class ListView;
}

// The quick filter of the window's list (Ctrl+F, Lista → Filtrar…): a line above the screen
// where what the user types keeps only the rows with a cell that contains it, accents and
// letter case aside, with how many rows of all it shows beside it ("12 de 300"). It is the
// view's alone: the screen reads, counts and selects as it always does, and the filter holds
// through its reloads. Enter or ↓ goes on to the list with the filter kept; Esc, or closing the
// line, shows every row again.
class BarraDeFiltro final : public QToolBar
{
    Q_OBJECT

public:
    explicit BarraDeFiltro(QWidget *parent = nullptr);

    // Shows the line for the list, with the cursor in it.
    void abrePara(Kit::ListView &lista);
    // Shows every row again, hides the line and gives the list the focus.
    void cierra();

    QString texto() const;
    QString cuenta() const;

private:
    void filtra(const QString &texto);
    void cuentaLasFilas();

    QLineEdit *m_texto = nullptr;
    QLabel *m_cuenta = nullptr;
    QPointer<Kit::ListView> m_lista;
    QMetaObject::Connection m_alCambiarLaLista;
};
