// Loading the list: the view's stored query with the salesperson's filter, the rows
// coloured by state, the previous selection restored, the count shown.
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "controles/cbzel.h"
#include "controles/listview.h"
#include "runtime/conversions.h"
#include "runtime/error.h"

#include <QLabel>
#include <QScrollBar>

namespace {

const QString marcador = QStringLiteral("{PARAMETROS}");

// The condition that takes the place of {PARAMETROS}, by the salesperson's level; none for
// a level other than 1, 2 or 3.
std::optional<QString> filtroPorNivel(qint16 nivel, const QString &vendedor)
{
    switch (nivel) {
    case 1: return QStringLiteral(" (Vendedor.Vn_Cve_Vendedor = '") + Ado::quoted(vendedor) + QStringLiteral("') ");
    case 2: return QStringLiteral(" (Vendedor.Vn_Nivel = '") + QString::number(nivel) + QStringLiteral("') ");
    case 3: return QStringLiteral(" (1 = 1) ");
    default: return std::nullopt;
    }
}

// Where the user is in the list: it survives a reload.
struct Posicion
{
    QString folio;
    int desplazamiento = 0;
};

} // namespace

// A reload asked for while one is running (a tick of the timer during one of its message
// boxes) is skipped: the running one will show the current rows.
void frmKLD251::Carga_Oportunidades()
{
    if (m_cargando)
        return;
    m_cargando = true;
    m_fallasDeColorReportadas.clear();
    Publico::Atrapa(this, QStringLiteral("Carga_Oportunidades()"), QStringLiteral("ERR-ID:7500017"),
                    [this] { cargaOportunidades(); });
    m_cargando = false;
}

void frmKLD251::cargaOportunidades()
{
    if (CveVendedor.isEmpty())
        return;
    const qint16 indice = cboVistas->Indice();
    if (indice < 0 || cboVistas->NumElementos() < 1 || indice > ConsultasVista.size() - 1)
        return;
    const QString clave = ConsultasVista.at(indice);
    Publico::TextoSql = Publico::Funciones->LeeConsulta(clave);
    if (Publico::TextoSql.trimmed().isEmpty()) {
        Publico::Entorno->Mensaje(QStringLiteral("No existe la consulta '") + clave + QStringLiteral("'"),
                                  Servicios::Estilo::Critico, QStringLiteral("Carga_Oportunidades()"), this,
                                  Publico::Modulo, QStringLiteral("ERR-ID:7500016"));
        return;
    }
    const QString nivel = Publico::Funciones->BuscaCampo(QStringLiteral("Vendedor"), QStringLiteral("VN_CVE_VENDEDOR"),
                                                         CveVendedor, QStringLiteral("Vn_Nivel"), 0, QString(),
                                                         QString(), QString());
    if (nivel.isEmpty())
        return;
    const std::optional<QString> filtro = filtroPorNivel(Runtime::toInteger16(nivel), CveVendedor);
    if (!filtro)
        return;
    Publico::TextoSql.replace(marcador, *filtro);

    const Posicion antes{folioSeleccionado(), lvOrdenes->verticalScrollBar()->value()};
    const QString consulta = Publico::TextoSql;
    if (Publico::Funciones->LlenaLista(consulta, *lvOrdenes, -1)) {
        coloreaRenglones();
        const int cuenta = lvOrdenes->itemCount();
        for (int renglon = 1; renglon <= cuenta; ++renglon) {
            if (lvOrdenes->itemText(renglon) == antes.folio && lvOrdenes->selectedIndex() != renglon)
                lvOrdenes->selectItem(renglon);
        }
        lvOrdenes->verticalScrollBar()->setValue(antes.desplazamiento);
        lvOrdenes->viewport()->update();
    }
    actualizaCuenta();
}

void frmKLD251::actualizaCuenta()
{
    QString leyenda = QStringLiteral("0 Oportunidad");
    if (lvOrdenes->columnCount() > 1) {
        leyenda = lvOrdenes->itemCount() == 1 ? QStringLiteral("1 Oportunidad")
                                              : QString::number(lvOrdenes->itemCount()) + QStringLiteral(" Oportunidades");
    }
    lbOrdenes->setText(leyenda);
    lbOrdenes->adjustSize();
}

QString frmKLD251::folioSeleccionado() const
{
    const int seleccionado = lvOrdenes->selectedIndex();
    return seleccionado == 0 ? QString() : lvOrdenes->itemText(seleccionado);
}
