// The board's life: load, activation, keys, closing, resizing.
#include "acomodo.h"
#include "frmKLD251.h"
#include "recargadelista.h"

#include "atrapa.h"
#include "frmLogin.h"
#include "publico.h"

#include "controles/cbzel.h"
#include "controles/colorzel.h"
#include "controles/listview.h"
#include "controles/txtzel.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"
#include "runtime/settings.h"
#include "runtime/twips.h"
#include "servicios/ajustelista.h"

#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

const QString aplicacion = QStringLiteral("KLD251");
const QString seccion = QStringLiteral("Settings");
const QString claveVista = QStringLiteral("VISTA");
constexpr qint32 colorDelMarco = 0x4BC9B4;

} // namespace

// A refresh count or a remembered view that cannot be read is reported as a failure of the
// load, but the load goes on with the default: the board opens on its first view with its
// rows instead of empty. A service that fails (the database, the variables) ends the load
// there, as any failure of the load does.
void frmKLD251::formLoad()
{
    m_ticks = 0;
    Publico::Atrapa(this, QStringLiteral("Form_Load()"), QStringLiteral("ERR-ID:7500014"), [this] {
        Activado = false;
        colorZEL->AplicaColores();
        QPalette marco = frFrame->palette();
        marco.setColor(QPalette::Window, Runtime::toQColor(colorDelMarco));
        frFrame->setPalette(marco);
        const QVariant tiempo = Publico::Entorno->LeeVariable(QStringLiteral("CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES"), 0,
                                                              QStringLiteral("N"), QStringLiteral("1"));
        std::exception_ptr ilegible;
        try {
            TiempoActualizar = Runtime::toInteger16(tiempo);
        } catch (const Runtime::RuntimeError &) {
            TiempoActualizar = 1;
            ilegible = std::current_exception();
        }
        CancelarNoDisponible = Publico::Entorno->OpcionRestringida(Publico::Modulo, QStringLiteral("TOOLB2"),
                                                                   QStringLiteral("No disponible"));
        GanadaNoDisponible = Publico::Entorno->OpcionRestringida(Publico::Modulo, QStringLiteral("KLD251"),
                                                                 QStringLiteral("No disponible"));
        imgGanada->setVisible(!GanadaNoDisponible);
        CargaVistas();
        seleccionaVistaRecordada();
        if (ilegible)
            std::rethrow_exception(ilegible);
    });
}

// The view chosen last time, when it is still one of the views; else the first view.
void frmKLD251::seleccionaVistaRecordada()
{
    const QString vista = Runtime::getSetting(aplicacion, seccion, claveVista, QStringLiteral("0"));
    if (cboVistas->NumElementos() <= 0)
        return;
    qint16 indice = 0;
    std::exception_ptr ilegible;
    if (!vista.isEmpty()) {
        try {
            const qint16 recordada = Runtime::toInteger16(vista);
            if (recordada >= 0 && recordada <= cboVistas->NumElementos() - 1)
                indice = recordada;
        } catch (const Runtime::RuntimeError &) {
            ilegible = std::current_exception();
        }
    }
    cboVistas->setIndice(indice);
    if (ilegible)
        std::rethrow_exception(ilegible);
}

void frmKLD251::formActivate()
{
    if (Activado) {
        Carga_Oportunidades();
        return;
    }
    CveVendedor = Publico::Funciones->VendedorDeOperador(Publico::Entorno->Operador());
    if (CveVendedor.isEmpty()) {
        frmLogin login;
        login.load();
        login.showModal();
        if (!login.Aceptado) {
            login.unload();
            cierraPadre();
            return;
        }
        CveVendedor = login.txtVn_Cve_Vendedor->Texto();
        login.unload();
    }
    anunciaVendedor();
    Carga_Oportunidades();
    if (lvOrdenes->isVisible() && lvOrdenes->isEnabled())
        lvOrdenes->setFocus();
    Activado = true;
}

void frmKLD251::formKeyUp(int keyCode, int /*shift*/)
{
    switch (keyCode) {
    case Runtime::KeyCode::F5: Carga_Oportunidades(); break;
    case Runtime::KeyCode::F3: txtBuscar_Buscar(); break;
    default: break;
    }
}

void frmKLD251::Controles_Salir()
{
    cierraPadre();
}

// Closing the board's screen is the host's business: the board closes its host object.
void frmKLD251::cierraPadre()
{
    Runtime::callMember(Padre(), "close");
}

void frmKLD251::formQueryUnload()
{
    CveVendedor.clear();
    Runtime::saveSetting(aplicacion, seccion, claveVista, QString::number(cboVistas->Indice()));
}

// The controls as a fresh load finds them; emptying the views raises no view change.
void frmKLD251::formUnloaded()
{
    m_recarga->olvida();
    const QSignalBlocker silencio(cboVistas);
    cboVistas->Limpia();
    lvOrdenes->replaceContents({}, {});
    lbOrdenes->clear();
}

// Every step on its own: a size the controls refuse (a window smaller than the margins)
// leaves that control as it was and the next step still runs.
void frmKLD251::formResize()
{
    const double ancho = Runtime::pixelsToTwips(width(), this);
    const double alto = Runtime::pixelsToTwips(height(), this);
    const auto enTwips = [this](int pixeles) { return Runtime::pixelsToTwips(pixeles, this); };
    const auto aPixeles = [this](double twips) {
        if (twips < 0)
            Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
        return Runtime::twipsToPixels(twips, this);
    };
    const double margen = enTwips(lvOrdenes->x());
    Publico::IgnoraError([&] { lvOrdenes->resize(aPixeles(float(ancho - 2 * margen)), lvOrdenes->height()); });
    Publico::IgnoraError(
        [&] { lvOrdenes->resize(lvOrdenes->width(), aPixeles(float(alto - enTwips(lvOrdenes->y()) - 100))); });
    // The count changes its width with each reload, so the search follows it then too.
    const auto acomoda = [this] {
        Publico::IgnoraError([this] {
            acomodaBusqueda(*this, *cboVistas, *lbOrdenes, *txtBuscar, Runtime::pixelsToTwips(lvOrdenes->x(), this));
        });
    };
    acomoda();
    if (!lbOrdenes->findChild<SigueElAncho *>())
        new SigueElAncho(*lbOrdenes, acomoda); // owned by the count
    Publico::IgnoraError([&] { frFrame->resize(aPixeles(float(ancho)), frFrame->height()); });
    Publico::IgnoraError([&] {
        Servicios::AjusteLista ajuste;
        ajuste.Ajusta(*lvOrdenes);
    });
}
