#include "dialogoteclas.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace DialogoTeclas {
namespace {

QTableWidget *tablaDeTeclas(QWidget &dialogo)
{
    const QList<Tecla> filas = teclas();
    auto *tabla = new QTableWidget(int(filas.size()), 2, &dialogo);
    tabla->setObjectName(QStringLiteral("tblTeclas"));
    tabla->setAccessibleName(QStringLiteral("Teclas"));
    tabla->setHorizontalHeaderLabels({QStringLiteral("Tecla"), QStringLiteral("Qué hace")});
    tabla->verticalHeader()->hide();
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setWordWrap(true);
    for (int fila = 0; fila < filas.size(); ++fila) {
        tabla->setItem(fila, 0, new QTableWidgetItem(filas.at(fila).tecla));
        tabla->setItem(fila, 1, new QTableWidgetItem(filas.at(fila).accion));
    }
    tabla->resizeColumnToContents(0);
    tabla->horizontalHeader()->setStretchLastSection(true);
    // Each row as tall as its wrapped text at the width the dialog ends up with.
    tabla->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return tabla;
}

} // namespace

QList<Tecla> teclas()
{
    return {
        {QStringLiteral("F5"), QStringLiteral("recarga la lista (también se recarga sola cada pocos segundos)")},
        {QStringLiteral("F3, o Enter en el cuadro de búsqueda"),
         QStringLiteral("busca el siguiente renglón que contiene el texto del cuadro de búsqueda")},
        {QStringLiteral("Ctrl+C"), QStringLiteral("copia el folio de la oportunidad seleccionada")},
        {QStringLiteral("Ctrl+F"),
         QStringLiteral("filtra la lista: deja sólo las filas que contienen un texto, sin importar acentos ni "
                        "mayúsculas; Esc las muestra todas")},
        {QStringLiteral("F10 (con o sin Mayús)"),
         QStringLiteral("con una oportunidad seleccionada, las acciones de la lista: exportar a CSV, copiar todas las "
                        "filas, resumen por estado, ajustar columnas; sin selección, en el menú Lista")},
        {QStringLiteral("tecla de menú o clic derecho"),
         QStringLiteral("las acciones de la barra sobre la oportunidad seleccionada, sin dejar la lista")},
        {QStringLiteral("doble clic"), QStringLiteral("abre la oportunidad para editarla")},
        {QStringLiteral("Tab, Enter, Esc"),
         QStringLiteral("recorren, aceptan y cierran cada diálogo; en el selector de estados las flechas pasan de un "
                        "estado a otro y lo eligen, y Enter acepta el resaltado")},
        {QStringLiteral("Ctrl+Q"), QStringLiteral("cierra Teqvaro")},
    };
}

void muestra(QWidget *duena)
{
    QPointer<QDialog> dialogo = new QDialog(duena ? duena->window() : nullptr);
    dialogo->setObjectName(QStringLiteral("dlgTeclas"));
    dialogo->setWindowTitle(QStringLiteral("Teclas"));
    auto *diseno = new QVBoxLayout(dialogo);
    diseno->addWidget(tablaDeTeclas(*dialogo));
    auto *botones = new QDialogButtonBox(QDialogButtonBox::Close, dialogo);
    QPushButton *cerrar = botones->button(QDialogButtonBox::Close);
    cerrar->setObjectName(QStringLiteral("cmdCerrar"));
    cerrar->setText(QStringLiteral("&Cerrar"));
    QObject::connect(botones, &QDialogButtonBox::rejected, dialogo, &QDialog::reject);
    diseno->addWidget(botones);
    dialogo->resize(760, 330);
    dialogo->exec();
    // The window that owns it may have gone while it ran, taking the dialog with it.
    delete dialogo.data();
}

} // namespace DialogoTeclas
