#pragma once

#include "servicios/resumenestados.h"

#include <QDialog>

class QLabel;
class QRadioButton;
class QTableWidget;

namespace Servicios {

class GraficaEstados;

// "Resumen por estado" (dlgResumenEstados): the opportunities of a list by state, as a bar
// chart whose bars measure either the count or the amount, and as a table with the total
// in its last row. "Copiar" puts the table on the clipboard; "Cerrar" and Esc close it.
// Controls are named by the suite's prefixes: opt option button, pic the drawn chart, grd
// the grid, lb label, cmd command button.
class DialogoResumenEstados final : public QDialog
{
    Q_OBJECT

public:
    explicit DialogoResumenEstados(ResumenEstados resumen, QWidget *parent = nullptr);

    // The table as shown, header first, tabs between fields and LF after each line.
    QString textoTabulado() const;

private:
    QLayout *eleccionDeBarras();
    QTableWidget *tablaDelResumen();
    QLabel *avisoDeMontos();
    void muestraBarras();
    void copia() const;

    QString cantidad(int valor) const;
    QString monto(double valor) const;
    QString porcentaje(double valor) const;

    const ResumenEstados m_resumen;
    GraficaEstados *m_grafica = nullptr;
    QRadioButton *m_porCantidad = nullptr;
    QRadioButton *m_porMonto = nullptr;
    QTableWidget *m_tabla = nullptr;
};

} // namespace Servicios
