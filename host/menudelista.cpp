#include "menudelista.h"

#include "anfitrion.h"
#include "avisos.h"

#include "controles/listview.h"
#include "runtime/error.h"

#include <QMainWindow>

MenuDeLista::MenuDeLista(QMainWindow &ventana)
    : QMenu(QStringLiteral("&Lista"), &ventana)
    , m_ventana(ventana)
    , m_entradas(*this)
{
    setObjectName(QStringLiteral("menuLista"));
    m_entradas.habilitaPara(nullptr);
    connect(this, &QMenu::aboutToShow, this, [this] { m_entradas.habilitaPara(lista()); });
    for (QAction *accion : actions())
        connect(accion, &QAction::triggered, this, [this, accion] { ejecuta(accion); });
    addSeparator();
    QAction *filtrar = addAction(QStringLiteral("&Filtrar…"), this, &MenuDeLista::filtroPedido);
    filtrar->setObjectName(QStringLiteral("accFiltrar"));
    filtrar->setShortcut(QKeySequence::Find);
}

Kit::ListView *MenuDeLista::lista() const
{
    const QWidget *pantalla = m_ventana.centralWidget();
    if (!pantalla)
        return nullptr;
    const QList<Kit::ListView *> listas = pantalla->findChildren<Kit::ListView *>();
    for (Kit::ListView *lista : listas) {
        if (lista->isVisible())
            return lista;
    }
    return listas.value(0);
}

// The screen may have changed since the menu showed; a failure (a file that cannot be
// written) is explained and the host goes on.
void MenuDeLista::ejecuta(QAction *accion)
{
    Kit::ListView *actual = lista();
    if (!actual)
        return;
    try {
        m_entradas.ejecuta(accion, *actual);
    } catch (...) {
        const QString descripcion = Runtime::toRuntimeError(std::current_exception()).description();
        qCWarning(logAnfitrion).noquote() << accion->objectName() << "falló:" << descripcion;
        Avisos::reportaFalla(&m_ventana,
                             QStringLiteral("No se pudo completar «%1».").arg(accion->text().remove(QLatin1Char('&'))),
                             descripcion);
    }
}
