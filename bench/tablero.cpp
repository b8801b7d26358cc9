#include "tablero.h"

#include "publico.h"

#include "ado/session.h"
#include "controles/listview.h"
#include "datos/diario.h"
#include "servicios/servicios.h"

#include <QAbstractItemModel>
#include <QDebug>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

namespace Banco {
namespace {

// Ends a wait once the list's own area is painted while the list holds every row: the
// moment a user sees the board filled.
class EsperaDePintura final : public QObject
{
public:
    EsperaDePintura(Kit::ListView &lista, int filas)
        : m_lista(lista)
        , m_filas(filas)
    {
        m_lista.viewport()->installEventFilter(this);
    }

    bool espera(std::chrono::milliseconds limite)
    {
        QTimer::singleShot(limite, &m_lazo, &QEventLoop::quit);
        m_lazo.exec();
        return m_pintada;
    }

protected:
    // The paint itself runs after the filter; the wait ends once it has.
    bool eventFilter(QObject *observado, QEvent *evento) override
    {
        if (!m_pintada && evento->type() == QEvent::Paint && observado == m_lista.viewport()
            && m_lista.itemCount() == m_filas) {
            m_pintada = true;
            QTimer::singleShot(0, &m_lazo, &QEventLoop::quit);
        }
        return false;
    }

private:
    Kit::ListView &m_lista;
    int m_filas;
    QEventLoop m_lazo;
    bool m_pintada = false;
};

} // namespace

void iniciaSesion(const Ado::DatabaseAddress &direccion)
{
    Ado::Session::configure(direccion);
    Datos::usaDiarioAnticipado(*Ado::Session::connection());
    Servicios::estableceOperador(operadorDelBanco);
    Publico::Termina();
    Publico::Main();
}

void terminaSesion()
{
    Publico::Termina();
    Ado::Session::reset();
}

Tablero::Tablero(int filas)
    : m_lista(*m_formulario.findChild<Kit::ListView *>(QStringLiteral("lvOrdenes")))
    , m_filas(filas)
{
    m_formulario.setPadre(&m_anfitrion);
}

// As a user closes it: the form unloads (and remembers its view) before it goes.
Tablero::~Tablero()
{
    m_formulario.close();
}

bool Tablero::muestra(std::chrono::milliseconds limite)
{
    EsperaDePintura espera(m_lista, m_filas);
    m_formulario.show();
    m_formulario.activateWindow();
    const bool pintada = espera.espera(limite);
    if (!pintada)
        qWarning() << "el tablero no se pintó con sus" << m_filas << "oportunidades; lista" << m_lista.itemCount();
    return pintada;
}

// To the painted list: the rest of the board does not change with a reload.
void Tablero::recargaPintada()
{
    m_formulario.Carga_Oportunidades();
    m_lista.repaint();
}

void Tablero::recargaCompleta()
{
    m_lista.clearItems();
    recargaPintada();
}

QTimer &Tablero::temporizador()
{
    return *m_formulario.findChild<QTimer *>(QStringLiteral("TmrRefresh"));
}

bool Tablero::refrescando() const
{
    return m_formulario.recargaEnCurso();
}

void Tablero::esperaFinDelRefresco()
{
    QEventLoop lazo;
    QTimer sonda;
    QObject::connect(&sonda, &QTimer::timeout, &lazo, [&] {
        if (!refrescando())
            lazo.quit();
    });
    sonda.start(5);
    lazo.exec();
}

int Tablero::listadas() const
{
    return m_lista.itemCount();
}

void Tablero::revisaCuenta(const char *despuesDe) const
{
    if (m_lista.itemCount() != m_filas)
        qWarning() << "después de" << despuesDe << "el tablero lista" << m_lista.itemCount() << "de" << m_filas
                   << "oportunidades";
}

RenglonesTocados::RenglonesTocados(const QAbstractItemModel &modelo, int filas)
    : m_filas(filas)
{
    connect(&modelo, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &primero, const QModelIndex &ultimo) {
                for (int renglon = primero.row(); renglon <= ultimo.row(); ++renglon)
                    m_cambiados.insert(renglon);
            });
    connect(&modelo, &QAbstractItemModel::modelReset, this, [this] { ++m_completos; });
    connect(&modelo, &QAbstractItemModel::layoutChanged, this, [this] { ++m_completos; });
    const auto cuentaRango = [this](const QModelIndex &, int primero, int ultimo) {
        m_insertadosOQuitados += ultimo - primero + 1;
    };
    connect(&modelo, &QAbstractItemModel::rowsInserted, this, cuentaRango);
    connect(&modelo, &QAbstractItemModel::rowsRemoved, this, cuentaRango);
}

void RenglonesTocados::olvida()
{
    m_completos = 0;
    m_insertadosOQuitados = 0;
    m_cambiados.clear();
}

int RenglonesTocados::cuenta() const
{
    return m_completos * m_filas + m_insertadosOQuitados + int(m_cambiados.size());
}

} // namespace Banco
