// The first load of a board on a very large view, as a user opens it: the time from the
// database's first row to the first screenful painted, the longest stall of the window's
// event loop until the load's later steps are done, and the peak memory of a process that
// opens the board.
#include "cargagrande.h"

#include "mediciones.h"
#include "piso.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace Banco {
namespace {

constexpr int periodoDeSondaEnMs = 10;

// The database's side, in plain Qt SQL: from the statement's start to its first row in hand.
double primeraFilaDeLaBase(const Ado::DatabaseAddress &direccion)
{
    ConexionPlana conexion(direccion);
    const QString vista = consultaDeLaVista(conexion);
    QSqlQuery consulta(conexion.base());
    consulta.setForwardOnly(true);
    bool hayFila = false;
    const double tiempo = milisegundosDe([&] { hayFila = consulta.exec(vista) && consulta.next(); });
    if (!hayFila)
        throw std::runtime_error(("La vista no dio ninguna fila: " + consulta.lastError().text()).toStdString());
    return tiempo;
}

// The moment the list's area has been painted with rows for the first time, in ms on the
// load's clock. The paint is delivered from here, so the moment taken is after it.
class PrimerasFilasPintadas final : public QObject
{
public:
    PrimerasFilasPintadas(Kit::ListView &lista, const QElapsedTimer &reloj)
        : m_lista(lista)
        , m_reloj(reloj)
    {
        m_lista.viewport()->installEventFilter(this);
    }

    std::optional<double> momento() const { return m_momento; }

protected:
    bool eventFilter(QObject *observado, QEvent *evento) override
    {
        if (evento->type() != QEvent::Paint || m_momento || m_lista.itemCount() == 0)
            return false;
        observado->removeEventFilter(this);
        QCoreApplication::sendEvent(observado, evento);
        m_momento = double(m_reloj.nsecsElapsed()) / 1e6;
        return true;
    }

private:
    Kit::ListView &m_lista;
    const QElapsedTimer &m_reloj;
    std::optional<double> m_momento;
};

// A timer on the user-interface thread: the longest gap between two of its timeouts, beyond
// its own period, is the longest the window could not answer. The gap still open when the
// measure ends counts too.
class Sonda
{
public:
    explicit Sonda(const QElapsedTimer &reloj)
        : m_reloj(reloj)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(periodoDeSondaEnMs);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { registra(); });
        m_anterior = m_reloj.nsecsElapsed();
        m_timer.start();
    }

    double bloqueoMaximo()
    {
        registra();
        return std::max(0.0, double(m_mayor) / 1e6 - periodoDeSondaEnMs);
    }

private:
    void registra()
    {
        const qint64 ahora = m_reloj.nsecsElapsed();
        m_mayor = std::max(m_mayor, ahora - m_anterior);
        m_anterior = ahora;
    }

    const QElapsedTimer &m_reloj;
    QTimer m_timer;
    qint64 m_anterior = 0;
    qint64 m_mayor = 0;
};

// One first load, from the board shown to its list painted with every row, which happens
// once its later steps (the looks, the count, the selection) are done. The database's side
// is measured just before, on the same statement, in the same run.
void primeraCarga(const Corrida &corrida, const Base &base)
{
    const double baseDeDatos = primeraFilaDeLaBase(base.direccion);
    iniciaSesion(base.direccion);
    {
        Tablero tablero(corrida.filas);
        QElapsedTimer reloj;
        const PrimerasFilasPintadas primeras(tablero.lista(), reloj);
        reloj.start();
        Sonda sonda(reloj);
        const bool cargado = tablero.muestra(limiteDePintura);
        const double bloqueo = sonda.bloqueoMaximo();
        if (!primeras.momento())
            qWarning() << "el tablero nunca pintó sus primeras filas";
        // The board's time runs from its start, so its difference to the database's time
        // also holds the form's own load before the statement starts: it errs on the high side.
        else
            imprime(corrida.nombre(QStringLiteral("first_rows_after_database")), *primeras.momento() - baseDeDatos,
                    QStringLiteral("ms"));
        if (cargado)
            imprime(corrida.nombre(QStringLiteral("stall_max_first_load")), bloqueo, QStringLiteral("ms"));
    }
    terminaSesion();
}

} // namespace

bool soloPrimeraCarga(int filas)
{
    return filas > 1'000'000;
}

void mideCargaGrande(const Corrida &corrida, const Base &base, Lanzador &lanzador)
{
    primeraCarga(corrida, base);
    mideMemoria(corrida, base, lanzador);
}

} // namespace Banco
