// What the board tells the window that holds it, for its status bar: the outcome of each
// action in plain words, whose board it is, whether the database answers, and how many
// opportunities the list shows with their total amount.
#include "cuenta.h"
#include "frmKLD251.h"
#include "totaldemontos.h"

#include "controles/listview.h"
#include "runtime/screenstatus.h"

#include <QTime>

using Parte = Runtime::ScreenStatus::Part;

void frmKLD251::creaEstado()
{
    m_estado = new Runtime::ScreenStatus(this);
    m_totalDeMontos = new TotalDeMontos(lvOrdenes->listModel(), this);
    connect(m_totalDeMontos, &TotalDeMontos::cambio, this, &frmKLD251::anunciaContenido);
}

void frmKLD251::anuncia(const QString &resultado)
{
    m_estado->set(Parte::Action, resultado);
}

void frmKLD251::anunciaVendedor()
{
    m_estado->set(Parte::User, CveVendedor);
}

// The first failure of the database's probe is the moment the connection was lost; the
// board keeps probing on every tick, so the first success ends it.
void frmKLD251::anunciaConexion(bool responde)
{
    if (responde) {
        m_sinConexionDesde.reset();
        m_estado->set(Parte::Connection, QString());
        return;
    }
    if (!m_sinConexionDesde)
        m_sinConexionDesde = QTime::currentTime();
    m_estado->set(Parte::Connection, QStringLiteral("Sin conexión desde las %1, reintentando")
                                         .arg(m_sinConexionDesde->toString(QStringLiteral("HH:mm"))));
}

void frmKLD251::anunciaContenido()
{
    m_estado->set(Parte::Contents, Cuenta::enPalabras(Cuenta::listadas(*lvOrdenes)) + m_totalDeMontos->enPalabras());
}
