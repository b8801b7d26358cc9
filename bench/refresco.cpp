// The automatic refresh after one opportunity changed on another connection: from the tick
// of the board's timer that starts it to the change painted, against the floor. The wait
// for that tick is the refresh period the team chose, not work, and is left out.
#include "cambios.h"
#include "mediciones.h"
#include "piso.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <optional>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto limiteDelRefresco = 2min;
constexpr int subElementoDeDescripcion = 1; // the view's second column

// One change's wait. The moment of each tick is taken before the board's handler runs (a
// filter on the timer sees its event first); after the handler, a refresh that has begun
// (or, when it read nothing in the background, already shows the change) started at it.
class EsperaDelCambio final : public QObject
{
public:
    EsperaDelCambio(Tablero &tablero, int renglon, const QString &texto)
        : m_tablero(tablero)
        , m_renglon(renglon)
        , m_texto(texto)
    {
        m_reloj.start();
        m_tablero.temporizador().installEventFilter(this);
        connect(&m_tablero.temporizador(), &QTimer::timeout, this, &EsperaDelCambio::despuesDelTic);
        m_sonda.setTimerType(Qt::PreciseTimer);
        m_sonda.setInterval(1);
        connect(&m_sonda, &QTimer::timeout, this, &EsperaDelCambio::revisa);
    }

    // ms from the tick to the painted change; nullopt when it was not shown in time.
    std::optional<double> espera()
    {
        QTimer::singleShot(limiteDelRefresco, &m_lazo, &QEventLoop::quit);
        m_sonda.start();
        m_lazo.exec();
        m_sonda.stop();
        if (!m_inicio || !m_fin)
            return std::nullopt;
        return double(*m_fin - *m_inicio) / 1e6;
    }

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override
    {
        if (evento->type() == QEvent::Timer && observado == &m_tablero.temporizador()) {
            m_tic = m_reloj.nsecsElapsed();
            m_refrescabaAntes = m_tablero.refrescando();
        }
        return false;
    }

private:
    bool muestraElCambio() const
    {
        return m_tablero.lista().subItemText(m_renglon, subElementoDeDescripcion) == m_texto;
    }

    void despuesDelTic()
    {
        if (!m_inicio && !m_refrescabaAntes && (m_tablero.refrescando() || muestraElCambio()))
            m_inicio = m_tic;
        revisa();
    }

    // Painted as a refresh leaves it, before the clock stops.
    void revisa()
    {
        if (!m_inicio || m_fin || m_tablero.refrescando() || !muestraElCambio())
            return;
        m_tablero.lista().repaint();
        m_fin = m_reloj.nsecsElapsed();
        m_lazo.quit();
    }

    Tablero &m_tablero;
    int m_renglon;
    QString m_texto;
    QElapsedTimer m_reloj;
    QTimer m_sonda;
    QEventLoop m_lazo;
    qint64 m_tic = 0;
    bool m_refrescabaAntes = false;
    std::optional<qint64> m_inicio;
    std::optional<qint64> m_fin;
};

// The list's row of a folio, 1-based; 0 when it is not listed.
int renglonDe(const Kit::ListView &lista, const QString &buscado)
{
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon) {
        if (lista.itemText(renglon) == buscado)
            return renglon;
    }
    return 0;
}

} // namespace

void mideRefrescoConUnCambio(const Corrida &corrida, const Base &base, Tablero &tablero, Piso &piso, const Plan &plan)
{
    ConexionPlana otroUsuario(base.direccion);
    const QStringList folios = diezFolios(corrida.filas);
    int vez = 0;
    const auto refresco = [&] {
        const QString cambiado = folios.at(vez % folios.size());
        const QString texto = QStringLiteral("Revisada por otro usuario, vez %1").arg(++vez);
        const int renglon = renglonDe(tablero.lista(), cambiado);
        tablero.esperaFinDelRefresco(); // the change must wait for a refresh of its own
        otroUsuario.ejecuta(
            QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = '%1' WHERE Op_Folio = '%2'").arg(texto, cambiado));
        const std::optional<double> tiempo = EsperaDelCambio(tablero, renglon, texto).espera();
        if (!tiempo)
            qWarning() << "el tablero no mostró el cambio de" << cambiado << "en" << limiteDelRefresco.count() << "min";
        return tiempo.value_or(std::chrono::duration<double, std::milli>(limiteDelRefresco).count());
    };
    imprimeRazon(corrida, QStringLiteral("refresh_1_changed"),
                 razonAlPiso(
                     plan.veces, [&piso] { return piso.mide(); }, refresco));
}

} // namespace Banco
