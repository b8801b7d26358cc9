#pragma once

#include "servicios/menulista.h"

#include <QMenu>

class QMainWindow;

namespace Kit {
class ListView;
}

// The main window's "Lista" menu ("menuLista"): the actions on a whole list that the list's
// own menu (F10) offers, here without needing a selected row, over the list of the screen
// that fills the window. Entries that cannot act are disabled and say why. "Filtrar…"
// (Ctrl+F) asks the window for its quick filter.
class MenuDeLista final : public QMenu
{
    Q_OBJECT

public:
    explicit MenuDeLista(QMainWindow &ventana);

    // The list the menu acts on: the first visible list of the screen in the window's centre
    // (else its first list); nothing without a screen or a list.
    Kit::ListView *lista() const;

Q_SIGNALS:
    void filtroPedido();

private:
    void ejecuta(QAction *accion);

    QMainWindow &m_ventana;
    Servicios::EntradasDeLista m_entradas;
};
