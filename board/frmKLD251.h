#pragma once

// Control prefixes: frm form, fr frame, lv list view, lb label, cbo combo box, txt text
// box, img image button, Tmr timer.

#include "runtime/form.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLabel;
class QTimer;
class QToolButton;

namespace Kit {
class cbZel;
class colorZEL;
class Controles;
class ListView;
class txtZEL;
} // namespace Kit
namespace Runtime {
class ScreenStatus;
}
class AccionesSobreOportunidad;
class RecargaDeLista;
class TotalDeMontos;
struct ConsultaDeVista;

// The opportunity board: the module's one screen. It lists the opportunities of the chosen
// view that the salesperson may see, each row in its state's colour and weight, and acts
// on the selected one.
class frmKLD251 final : public Runtime::Form
{
    Q_OBJECT
    Q_PROPERTY(QObject *Padre READ Padre WRITE setPadre)
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    explicit frmKLD251(QWidget *parent = nullptr);
    ~frmKLD251() override;

    // The host object that opened the board; closing the board means closing it.
    QObject *Padre() const;
    void setPadre(QObject *padre);

    // The host's transaction descriptor as the service library composes it. No error trap:
    // a failure (no host object, a host without `Transaccion`) goes to the reader.
    QString Transaccion() const;

    // The one reload routine: F5, the refresh button, a view change, an activation and the
    // actions that change the list read the list at once.
    void Carga_Oportunidades();

    // Whether an automatic reload is still reading or waits to be shown.
    bool recargaEnCurso() const;

    // The 1-based number of the first row after the selected one with a cell that holds
    // the text, letter case aside; 0 (and the selection cleared) when there is none.
    static int Buscar(Kit::ListView &Lv, const QString &Cadena);

protected:
    void formLoad() override;
    void formActivate() override;
    void formKeyUp(int keyCode, int shift) override;
    void formQueryUnload() override;
    void formUnloaded() override;
    void formResize() override;

private:
    // Design
    void creaControles();
    void creaBotones();
    QToolButton *creaBoton(const QString &nombre, const QString &ayuda, const QString &icono, int izquierda);
    void conectaEventos();

    // Lifecycle
    void seleccionaVistaRecordada();
    void Controles_Salir();
    void cierraPadre();

    // Views
    void CargaVistas();
    void cboVistas_Click();

    // Loading and colouring
    std::unique_ptr<RecargaDeLista> creaRecarga();
    std::optional<ConsultaDeVista> consultaDeLaVista();
    void avisaConsultaFaltante(const QString &clave);
    void reportaFallaDeRecarga(std::exception_ptr falla);
    void ColoreaRenglon(const QString &folio, int renglon);
    void reportaFallaDeColor(std::exception_ptr falla);
    void actualizaCuenta();

    // The status bar of the window that holds the board
    void creaEstado();
    void anuncia(const QString &resultado);
    void anunciaVendedor();
    void anunciaConexion(bool responde);
    void anunciaContenido();

    // Search
    void txtBuscar_Buscar();

    // List events and the timer
    void lvOrdenes_ColumnClick(int columna);
    void lvOrdenes_DblClick();
    void lvOrdenes_KeyDown(int keyCode, int shift);
    void muestraMenuDeAcciones(const QPoint &enLaLista);
    void TmrRefresh_Timer();
    void actua(const std::function<void()> &accion);

    // Actions on the selected opportunity
    AccionesSobreOportunidad acciones() const;
    void imgCancelar_Click();
    void cancela(const QString &folio);
    void imgEstadoOp_Click();
    void avisaEstadoCambiadoPorOtro();
    void imgGanada_Click();
    void imgPerdida_Click();
    void imgSeguimiento_Click();
    void imgEvento_Click();
    void imgContacto_Click();
    void imgOrganizacion_Click();
    void imgNuevo_Click();
    void imgOportunidad_Click();
    void imgEditOportunidad_Click();
    void imgRefrescar_Click();

    QString folioSeleccionado() const;
    int renglonDelFolio(const QString &folio) const;

    // Members
    QPointer<QObject> m_padre;
    qint16 TiempoActualizar = 0;
    QString CveVendedor;
    bool Activado = false;
    bool CancelarNoDisponible = false;
    bool GanadaNoDisponible = false;
    QStringList NombresVista{QString()};
    QStringList ConsultasVista{QString()};
    qint16 m_ticks = 0;

    Runtime::ScreenStatus *m_estado = nullptr;
    TotalDeMontos *m_totalDeMontos = nullptr;
    std::optional<QTime> m_sinConexionDesde;

    // Controls
    Kit::colorZEL *colorZEL = nullptr;
    Kit::Controles *Controles = nullptr;
    QFrame *frFrame = nullptr;
    Kit::cbZel *cboVistas = nullptr;
    Kit::txtZEL *txtBuscar = nullptr;
    QLabel *lbOrdenes = nullptr;
    Kit::ListView *lvOrdenes = nullptr;
    QTimer *TmrRefresh = nullptr;
    QToolButton *imgRefrescar = nullptr;
    QToolButton *imgNuevo = nullptr;
    QToolButton *imgCancelar = nullptr;
    QToolButton *imgOrganizacion = nullptr;
    QToolButton *imgContacto = nullptr;
    QToolButton *imgOportunidad = nullptr;
    QToolButton *imgEditOportunidad = nullptr;
    QToolButton *imgEvento = nullptr;
    QToolButton *imgSeguimiento = nullptr;
    QToolButton *imgEstadoOp = nullptr;
    QToolButton *imgGanada = nullptr;
    QToolButton *imgPerdida = nullptr;

    // Last, so that it stops and waits for its reading before anything else goes.
    std::unique_ptr<RecargaDeLista> m_recarga;
};
