#include "servicios/menulista.h"

#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"
#include "servicios/resumenestados.h"

#include "dialogoresumenestados.h"

#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/colors.h"

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

// The rows in the order shown, each with the colour its state cell is shown in.
ResumenEstados resumenDe(const Controles::ListView &lista)
{
    const Controles::ListModel &modelo = lista.listModel();
    const int columnaEstado = columnaTitulada(modelo.headers(), QStringLiteral("Estado"));
    std::vector<FilaParaResumen> filas;
    filas.reserve(size_t(modelo.size()));
    for (int posicion = 0; posicion < modelo.size(); ++posicion) {
        QStringList textos;
        for (int columna = 0; columna < modelo.textCount(posicion); ++columna)
            textos << modelo.text(posicion, columna);
        FilaParaResumen leida{textos, std::nullopt};
        if (columnaEstado >= 0 && columnaEstado < modelo.textCount(posicion)) {
            const Controles::ListModel::CellLook aspecto = modelo.look(posicion, columnaEstado);
            if (aspecto.hasColor)
                leida.color = Runtime::toQColor(aspecto.color, lista.palette());
        }
        filas.push_back(std::move(leida));
    }
    return resumePorEstado(modelo.headers(), filas, lista.palette().color(QPalette::Text));
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
    QAction *resumir = agregaAccion(menu, QStringLiteral("Resumen por estado…"), QStringLiteral("accResumenEstados"));
    if (!tieneColumnaEstado(m_lista.listModel().headers())) {
        resumir->setEnabled(false);
        resumir->setToolTip(QStringLiteral("La lista no tiene una columna «Estado» por la cual agrupar."));
        menu.setToolTipsVisible(true);
    }
    menu.addSeparator();
    QAction *ajustar = agregaAccion(menu, QStringLiteral("Ajustar columnas"), QStringLiteral("accAjustarColumnas"));
    const QAction *elegida = menu.exec(puntoDelMenu(m_lista));
    if (elegida == exportar)
        exportaCsv();
    else if (elegida == copiar)
        AccionesLista::copiaFilas(m_lista);
    else if (elegida == resumir)
        muestraResumenEstados();
    else if (elegida == ajustar)
        AjusteLista().Ajusta(m_lista);
}

void MenuLista::exportaCsv()
{
    const QString ruta = pideArchivoCsv(&m_lista);
    if (!ruta.isEmpty())
        AccionesLista::guardaCsv(m_lista, ruta);
}

void MenuLista::muestraResumenEstados()
{
    QPointer<DialogoResumenEstados> dialogo = new DialogoResumenEstados(resumenDe(m_lista), m_lista.window());
    dialogo->exec();
    // The list's window may have gone while the dialog ran, taking the dialog with it.
    delete dialogo.data();
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
