#include "servicios/menulista.h"

#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"

#include "controles/listview.h"

#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QPointer>

namespace Servicios {
namespace {

QAction *agregaAccion(QMenu &menu, const QString &texto, const QString &nombre)
{
    QAction *accion = menu.addAction(texto);
    accion->setObjectName(nombre);
    return accion;
}

QPoint puntoDelMenu(const Controles::ListView &lista)
{
    const QPoint cursor = QCursor::pos();
    if (lista.rect().contains(lista.mapFromGlobal(cursor)))
        return cursor;
    return lista.mapToGlobal(lista.rect().center());
}

} // namespace

MenuLista::MenuLista(Controles::ListView &lista)
    : m_lista(lista)
{}

void MenuLista::abre()
{
    QMenu menu(&m_lista);
    menu.setObjectName(QStringLiteral("mnuAccionLista"));
    QAction *exportar = agregaAccion(menu, QStringLiteral("Exportar a CSV…"), QStringLiteral("accExportarCsv"));
    QAction *copiar = agregaAccion(menu, QStringLiteral("Copiar todas las filas"), QStringLiteral("accCopiarFilas"));
    menu.addSeparator();
    QAction *ajustar = agregaAccion(menu, QStringLiteral("Ajustar columnas"), QStringLiteral("accAjustarColumnas"));
    const QAction *elegida = menu.exec(puntoDelMenu(m_lista));
    if (elegida == exportar)
        exportaCsv();
    else if (elegida == copiar)
        AccionesLista::copiaFilas(m_lista);
    else if (elegida == ajustar)
        AjusteLista().Ajusta(m_lista);
}

void MenuLista::exportaCsv()
{
    const QString ruta = pideArchivoCsv(&m_lista);
    if (!ruta.isEmpty())
        AccionesLista::guardaCsv(m_lista, ruta);
}

QString MenuLista::pideArchivoCsv(QWidget *propietario)
{
    QPointer<QFileDialog> dialogo = new QFileDialog(propietario ? propietario->window() : nullptr,
                                                    QStringLiteral("Exportar a CSV"), QDir::homePath(),
                                                    QStringLiteral("Archivos CSV (*.csv)"));
    dialogo->setObjectName(QStringLiteral("dlgExportarCsv"));
    // The platform's own dialog runs outside Qt, where neither tests nor key preview reach it.
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    dialogo->setDefaultSuffix(QStringLiteral("csv"));
    const bool aceptado = dialogo->exec() == QDialog::Accepted;
    if (dialogo.isNull())
        return {};
    const QStringList elegidos = dialogo->selectedFiles();
    delete dialogo.data();
    return aceptado && !elegidos.isEmpty() ? elegidos.first() : QString();
}

} // namespace Servicios
