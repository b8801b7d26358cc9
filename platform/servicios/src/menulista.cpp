#include "servicios/menulista.h"

#include "servicios/accioneslista.h"
#include "servicios/ajustelista.h"
#include "servicios/resumenestados.h"

#include "dialogoresumenestados.h"

#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/colors.h"
#include "runtime/screenstatus.h"
#include "runtime/settings.h"

#include <QCursor>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QStandardPaths>

namespace Servicios {
namespace {

QPoint puntoDelMenu(const Kit::ListView &lista)
{
    const QPoint cursor = QCursor::pos();
    if (lista.rect().contains(lista.mapFromGlobal(cursor)))
        return cursor;
    return lista.mapToGlobal(lista.rect().center());
}

// The rows in the order shown, each with the colour its state cell is shown in.
ResumenEstados resumenDe(const Kit::ListView &lista)
{
    const Kit::ListModel &modelo = lista.listModel();
    const int columnaEstado = columnaTitulada(modelo.headers(), QStringLiteral("Estado"));
    std::vector<FilaParaResumen> filas;
    filas.reserve(size_t(modelo.size()));
    for (int posicion = 0; posicion < modelo.size(); ++posicion) {
        QStringList textos;
        for (int columna = 0; columna < modelo.textCount(posicion); ++columna)
            textos << modelo.text(posicion, columna);
        FilaParaResumen leida{textos, std::nullopt};
        if (columnaEstado >= 0 && columnaEstado < modelo.textCount(posicion)) {
            const Kit::ListModel::CellLook aspecto = modelo.look(posicion, columnaEstado);
            if (aspecto.hasColor)
                leida.color = Runtime::toQColor(aspecto.color, lista.palette());
        }
        filas.push_back(std::move(leida));
    }
    return resumePorEstado(modelo.headers(), filas, lista.palette().color(QPalette::Text));
}

// A finished export says where the file went and how much it holds, on the status bar of the
// screen that holds the list.
void exportaCsv(Kit::ListView &lista)
{
    const QString ruta = MenuLista::pideArchivoCsv(lista);
    if (ruta.isEmpty())
        return;
    AccionesLista::guardaCsv(lista, ruta);
    if (Runtime::ScreenStatus *estado = Runtime::ScreenStatus::around(&lista))
        estado->set(Runtime::ScreenStatus::Part::Action, MenuLista::exportacionTerminada(lista, ruta));
}

void muestraResumenEstados(Kit::ListView &lista)
{
    QPointer<DialogoResumenEstados> dialogo = new DialogoResumenEstados(resumenDe(lista), lista.window());
    dialogo->exec();
    // The list's window may have gone while the dialog ran, taking the dialog with it.
    delete dialogo.data();
}

QString sinEstado(const Kit::ListView &lista)
{
    return tieneColumnaEstado(lista.listModel().headers())
               ? QString()
               : QStringLiteral("La lista no tiene una columna «Estado» por la cual agrupar.");
}

struct Entrada
{
    const char *nombre; // objectName
    const char *texto;
    bool separada; // a separator goes before it
    void (*ejecuta)(Kit::ListView &lista);
    QString (*impedimento)(const Kit::ListView &lista); // why it cannot act; nullptr: it always can
};

const Entrada entradas[] = {
    {"accExportarCsv", "&Exportar a CSV…", false, exportaCsv, nullptr},
    {"accCopiarFilas", "&Copiar todas las filas", false, [](Kit::ListView &lista) { AccionesLista::copiaFilas(lista); },
     nullptr},
    {"accResumenEstados", "&Resumen por estado…", false, muestraResumenEstados, sinEstado},
    {"accAjustarColumnas", "&Ajustar columnas", true, [](Kit::ListView &lista) { AjusteLista().AjustaYGuarda(lista); },
     nullptr},
};

const QString aplicacionDeAjustes = QStringLiteral("Servicios");
const QString seccionCsv = QStringLiteral("ExportarCsv");
const QString claveCarpeta = QStringLiteral("Carpeta");

// Letters and digits of any alphabet stay; every run of anything else becomes one hyphen.
QString seguroParaArchivo(const QString &nombre)
{
    constexpr qsizetype largoMaximo = 60;
    QString seguro;
    for (const QChar letra : nombre.normalized(QString::NormalizationForm_C).toLower()) {
        if (letra.isLetterOrNumber())
            seguro += letra;
        else if (!seguro.isEmpty() && !seguro.endsWith(QLatin1Char('-')))
            seguro += QLatin1Char('-');
    }
    seguro.truncate(largoMaximo);
    while (seguro.endsWith(QLatin1Char('-')))
        seguro.chop(1);
    return seguro;
}

// The folder of the last export while it exists; else the user's documents, or home.
QString carpetaInicialCsv()
{
    const QString recordada = Runtime::getSetting(aplicacionDeAjustes, seccionCsv, claveCarpeta);
    if (!recordada.isEmpty() && QDir(recordada).exists())
        return recordada;
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documentos.isEmpty() && QDir(documentos).exists() ? documentos : QDir::homePath();
}

} // namespace

EntradasDeLista::EntradasDeLista(QMenu &menu)
    : m_menu(menu)
{
    for (const Entrada &entrada : entradas) {
        if (entrada.separada)
            menu.addSeparator();
        QAction *accion = menu.addAction(QString::fromUtf8(entrada.texto));
        accion->setObjectName(QString::fromLatin1(entrada.nombre));
        m_acciones << accion;
    }
}

// Only the reasons are tooltips: an enabled action would repeat its own text.
void EntradasDeLista::habilitaPara(const Kit::ListView *lista)
{
    bool algunaImpedida = false;
    for (qsizetype i = 0; i < m_acciones.size(); ++i) {
        const Entrada &entrada = entradas[i];
        const QString impedimento = !lista                ? QStringLiteral("No hay una lista en la ventana.")
                                    : entrada.impedimento ? entrada.impedimento(*lista)
                                                          : QString();
        m_acciones.at(i)->setEnabled(impedimento.isEmpty());
        m_acciones.at(i)->setToolTip(impedimento);
        algunaImpedida = algunaImpedida || !impedimento.isEmpty();
    }
    m_menu.setToolTipsVisible(algunaImpedida);
}

bool EntradasDeLista::ejecuta(const QAction *accion, Kit::ListView &lista) const
{
    const qsizetype posicion = m_acciones.indexOf(accion);
    if (posicion < 0)
        return false;
    entradas[posicion].ejecuta(lista);
    return true;
}

MenuLista::MenuLista(Kit::ListView &lista)
    : m_lista(lista)
{ }

void MenuLista::abre()
{
    QMenu menu(&m_lista);
    menu.setObjectName(QStringLiteral("mnuAccionLista"));
    EntradasDeLista acciones(menu);
    acciones.habilitaPara(&m_lista);
    // The action runs once the menu has closed, not inside its event loop.
    if (const QAction *elegida = menu.exec(puntoDelMenu(m_lista)))
        acciones.ejecuta(elegida, m_lista);
}

QString MenuLista::nombreSugeridoCsv(const Kit::ListView &lista, const QDate &fecha)
{
    const QString vista = seguroParaArchivo(lista.exportName());
    const QString dia = fecha.toString(Qt::ISODate);
    return vista.isEmpty() ? QStringLiteral("oportunidades-%1.csv").arg(dia)
                           : QStringLiteral("oportunidades-%1-%2.csv").arg(vista, dia);
}

QString MenuLista::exportacionTerminada(const Kit::ListView &lista, const QString &ruta)
{
    const int filas = lista.listModel().size();
    const QString archivo = QDir::toNativeSeparators(ruta);
    return filas == 1 ? QStringLiteral("Se exportó 1 fila a %1").arg(archivo)
                      : QStringLiteral("Se exportaron %1 filas a %2").arg(filas).arg(archivo);
}

QString MenuLista::pideArchivoCsv(const Kit::ListView &lista)
{
    QPointer<QFileDialog> dialogo = new QFileDialog(lista.window(), QStringLiteral("Exportar a CSV"),
                                                    carpetaInicialCsv(), QStringLiteral("Archivos CSV (*.csv)"));
    dialogo->setObjectName(QStringLiteral("dlgExportarCsv"));
    // The platform's own dialog runs outside Qt, where neither tests nor key preview reach it.
    dialogo->setOption(QFileDialog::DontUseNativeDialog);
    dialogo->setAcceptMode(QFileDialog::AcceptSave);
    dialogo->setFileMode(QFileDialog::AnyFile);
    dialogo->setDefaultSuffix(QStringLiteral("csv"));
    dialogo->selectFile(nombreSugeridoCsv(lista, QDate::currentDate()));
    const bool aceptado = dialogo->exec() == QDialog::Accepted;
    if (dialogo.isNull())
        return {};
    const QStringList elegidos = dialogo->selectedFiles();
    delete dialogo.data();
    if (!aceptado || elegidos.isEmpty())
        return {};
    Runtime::saveSetting(aplicacionDeAjustes, seccionCsv, claveCarpeta, QFileInfo(elegidos.first()).absolutePath());
    return elegidos.first();
}

} // namespace Servicios
