// The board while its database server hangs: every process of the server stopped for 30 s,
// with the board refreshing on every tick of its timer. The figure is the longest the
// user-interface thread's event loop went without running in those 30 s, that is, the
// longest a user's click or repaint waits. It is an absolute figure held to its goal, not a
// ratio: it divides nothing, so no floor in plain Qt SQL is measured beside it. Then the
// server goes on, and the board must read again by itself: the server watch cut its
// background reader's connection once a wait passed the connections' limit (10 s by
// default), and the reader connects again.
#include "bases.h"
#include "mediciones.h"
#include "piso.h"
#include "servidorcongelado.h"
#include "sonda.h"
#include "tablero.h"

#include "controles/listview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <exception>

namespace Banco {
namespace {

using namespace std::chrono_literals;

constexpr auto asiento = 3s; // a few refreshes first, so the reader has its connection open
constexpr auto ventana = 30s;
constexpr auto periodoDeSonda = 10ms;
constexpr auto limiteDeVuelta = 60s;
constexpr int columnaDeDescripcion = 1; // the generated view's second column

// Answers every message box as a user would, at once: the board says once that the server
// does not answer, and a box left open would hold the measurement for ever.
class CierraMensajes
{
public:
    CierraMensajes()
    {
        QObject::connect(&m_revision, &QTimer::timeout, [this] { cierra(); });
        m_revision.start(5);
    }

    const QStringList &mostrados() const { return m_mostrados; }

private:
    void cierra()
    {
        for (QWidget *ventana : QApplication::topLevelWidgets()) {
            auto *caja = qobject_cast<QMessageBox *>(ventana);
            if (!caja || !caja->isVisible())
                continue;
            m_mostrados << caja->text();
            QAbstractButton *boton = caja->defaultButton();
            if (!boton)
                boton = caja->buttons().value(0);
            if (boton)
                boton->click();
            else
                caja->reject();
        }
    }

    QTimer m_revision;
    QStringList m_mostrados;
};

// The server takes new connections again; false when it did not within the limit.
bool esperaAlServidor(const Ado::DatabaseAddress &direccion)
{
    QElapsedTimer reloj;
    reloj.start();
    while (std::chrono::milliseconds(reloj.elapsed()) < limiteDeVuelta) {
        try {
            ConexionPlana conexion(direccion);
            conexion.primerValor(QStringLiteral("SELECT 1"));
            return true;
        } catch (const std::exception &) {
            correElLazo(200ms);
        }
    }
    return false;
}

// Another user's change to the first row's description reaches the board's screen through
// its automatic refresh: the board reads again.
bool vuelveALeer(const Base &base, Tablero &tablero)
{
    Kit::ListView &lista = tablero.lista();
    const QString texto = QStringLiteral("Revisada tras el servidor detenido");
    ConexionPlana otroUsuario(base.direccion);
    otroUsuario.ejecuta(QStringLiteral("UPDATE Oportunidad SET Op_Descripcion = '%1' WHERE Op_Folio = '%2'")
                            .arg(texto, lista.itemText(1)));
    QElapsedTimer reloj;
    reloj.start();
    while (std::chrono::milliseconds(reloj.elapsed()) < limiteDeVuelta) {
        if (lista.subItemText(1, columnaDeDescripcion) == texto)
            return true;
        correElLazo(100ms);
    }
    return false;
}

// One message for the whole time the server did not answer, when the first automatic refresh
// failed; the later ones only go to the log.
void revisaMensajes(const QStringList &mostrados)
{
    if (mostrados.isEmpty())
        qWarning() << "el tablero no dijo en" << ventana.count() << "s que el servidor no responde";
    else if (mostrados.size() > 1)
        qWarning() << "el tablero dijo" << mostrados.size() << "veces que el servidor no responde:" << mostrados;
}

} // namespace

void mideServidorColgado(const Corrida &corrida, const Base &base)
{
    // The board reads its pace when it loads; the later measurements keep the bases' own.
    ponTicsEntreRefrescos(base.direccion, 0);
    Tablero tablero(corrida.filas);
    tablero.muestra(limiteDePintura);
    ponTicsEntreRefrescos(base.direccion, ticsEntreRefrescosDeLasBases);
    correElLazo(asiento);

    ConexionPlana conexion(base.direccion);
    const CierraMensajes cierre;
    Bloqueos bloqueos;
    {
        const ServidorCongelado congelado(conexion);
        if (!congelado.detenido())
            return;
        bloqueos = sondea(ventana, periodoDeSonda);
    }
    imprime(QStringLiteral("stall_max_hung_server_") + corrida.motor, bloqueos.maximo, QStringLiteral("ms"));
    if (!esperaAlServidor(base.direccion))
        qWarning() << "el servidor no respondió en" << limiteDeVuelta.count() << "s tras seguir";
    else if (!vuelveALeer(base, tablero))
        qWarning() << "el tablero no volvió a leer en" << limiteDeVuelta.count() << "s tras volver el servidor";
    revisaMensajes(cierre.mostrados());
}

} // namespace Banco
