// The actions on the selected opportunity: cancel it, change its state, close it as won
// or lost, record a follow-up or an event.
#include "frmKLD251.h"

#include "accionesoportunidad.h"

#include "atrapa.h"
#include "frmCausas.h"
#include "frmEstados.h"
#include "lanzador.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/sqltext.h"
#include "ado/transaction.h"
#include "controles/listview.h"
#include "runtime/conversions.h"

#include <QLabel>

namespace {

const QString entidad = QStringLiteral("OPORTUNIDAD");

} // namespace

void frmKLD251::imgCancelar_Click()
{
    if (lvOrdenes->selectedIndex() == 0 || CancelarNoDisponible)
        return;
    // The folio the user confirms is the one cancelled, even if a reload during the
    // confirmation moves the selection.
    const QString folio = folioSeleccionado();
    bool vigente = false;
    if (!Publico::Atrapa(this, QStringLiteral("imgCancelar_Click()"), QStringLiteral("ERR-ID:7500002"),
                         [&] { vigente = acciones().sigueVigente(folio); })
        || !vigente)
        return;
    const qint32 respuesta = Publico::Mensaje(
        QStringLiteral("¿Seguro que desea cancelar la oportunidad seleccionada?"),
        Servicios::Estilo::SiNo | Servicios::Estilo::Pregunta | Servicios::Estilo::SegundoBotonPredeterminado,
        QStringLiteral("CONTINUAR"), this, Publico::Modulo, QStringLiteral("ERR-ID:7500021"));
    if (respuesta == Servicios::Respuesta::No)
        return;
    cancela(folio);
}

// The transaction is over before any message shows; when another user cancelled the
// opportunity meanwhile, nothing is written and the list shows the other user's work.
void frmKLD251::cancela(const QString &folio)
{
    AccionesSobreOportunidad::Cancelacion hecho{};
    try {
        hecho = acciones().cancela(folio);
    } catch (...) {
        anuncia(QStringLiteral("No se canceló la oportunidad %1").arg(folio));
        Publico::ReportaFalla(this, QStringLiteral("imgCancelar_Click()"), QStringLiteral("ERR-ID:7500002"),
                              std::current_exception());
        return;
    }
    anuncia((hecho == AccionesSobreOportunidad::Cancelacion::Cancelada
                 ? QStringLiteral("Oportunidad %1 cancelada")
                 : QStringLiteral("La oportunidad %1 ya estaba cancelada"))
                .arg(folio));
    Carga_Oportunidades();
}

AccionesSobreOportunidad frmKLD251::acciones() const
{
    return {Publico::Entorno->Conexion(), Publico::Entorno->Operador()};
}

// The folio is taken at the click: the timer may reload while the picker is open, and the
// row may move or leave the list meanwhile.
void frmKLD251::imgEstadoOp_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    Publico::Atrapa(this, QStringLiteral("imgEstadoOp_Click()"), QStringLiteral("ERR-ID:7500004"), [this, &folio] {
        const QString actual = acciones().estadoActual(folio);
        frmEstados estados;
        estados.load();
        estados.Mostrar(actual);
        const QString elegido = estados.EstadoSeleccionado;
        const bool aceptado = estados.Aceptado;
        const QString descripcion = estados.lbDescripcion->text();
        estados.unload();
        if (!aceptado || elegido == actual)
            return;
        if (!acciones().cambiaEstado(folio, actual, elegido)) {
            anuncia(QStringLiteral("No se cambió el estado de la oportunidad %1: otro usuario la cambió").arg(folio));
            avisaEstadoCambiadoPorOtro();
            return;
        }
        anuncia(QStringLiteral("Oportunidad %1 pasó al estado %2")
                    .arg(folio, descripcion.isEmpty() ? elegido : descripcion));
        if (const int renglon = renglonDelFolio(folio); renglon != 0)
            ColoreaRenglon(folio, renglon);
    });
}

void frmKLD251::avisaEstadoCambiadoPorOtro()
{
    Publico::Mensaje(QStringLiteral("Otro usuario cambió o quitó esta oportunidad mientras usted elegía el estado; ")
                         + QStringLiteral("no se guardó su cambio. La lista muestra ahora cómo quedó."),
                     Servicios::Estilo::Exclamacion, QStringLiteral("Cambio de estado"), this, Publico::Modulo,
                     QString());
    Carga_Oportunidades();
}

void frmKLD251::imgGanada_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    Publico::Atrapa(this, QStringLiteral("imgGanada_Click()"), QStringLiteral("ERR-ID:7500008"), [this, &folio] {
        const qint32 respuesta = Publico::Mensaje(
            QStringLiteral("Se registrará la oportunidad ganada y se quitará del tablero de oportunidades")
                + QStringLiteral("\r\n") + QStringLiteral("Desea continuar?"),
            Servicios::Estilo::SiNo | Servicios::Estilo::Informacion | Servicios::Estilo::SegundoBotonPredeterminado,
            QStringLiteral("Oportunidad ganada"), this, Publico::Modulo, QStringLiteral("ERR-ID:7500022"));
        if (respuesta == Servicios::Respuesta::No)
            return;
        const QString transaccion = AccionesSobreOportunidad::transaccionDeGanada();
        if (!transaccion.isEmpty()) {
            Lanzador::Lanza(Padre(), transaccion, Lanzador::ParametrosGanada(folio));
            Carga_Oportunidades();
            return;
        }
        if (AccionesSobreOportunidad::cierra(folio, 1, QString())) {
            anuncia(QStringLiteral("Oportunidad %1 cerrada como ganada").arg(folio));
            Carga_Oportunidades();
            return;
        }
        Publico::Mensaje(
            QStringLiteral("imgGanada() - ") + QStringLiteral("\r\n") + AccionesSobreOportunidad::motivoDelRechazo(),
            Servicios::Estilo::Critico, Publico::Producto, this, Publico::Modulo, QStringLiteral("ERR-ID:7500007"));
    });
}

void frmKLD251::imgPerdida_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    Publico::Atrapa(this, QStringLiteral("imgPerdida_Click()"), QStringLiteral("ERR-ID:7500011"), [this, &folio] {
        frmCausas causas;
        causas.load();
        causas.showModal();
        const QString causa = causas.Causa;
        causas.unload();
        if (causa.isEmpty())
            return;
        if (AccionesSobreOportunidad::cierra(folio, 2, causa)) {
            anuncia(QStringLiteral("Oportunidad %1 cerrada como perdida (%2)").arg(folio, causa));
            return;
        }
        Publico::Mensaje(QStringLiteral("imgPerdida(); ") + AccionesSobreOportunidad::motivoDelRechazo(),
                         Servicios::Estilo::Critico, Publico::Producto, this, Publico::Modulo,
                         QStringLiteral("ERR-ID:7500010"));
    });
}

namespace {

// The two postings differ only in the operation and in their titles and identifiers.
struct Registro
{
    bool (Servicios::Procesos::*operacion)(const QString &, const QString &, const QString &, const QString &);
    QString tituloFalla;
    QString idFalla;
    QString tituloTrampa;
    QString idTrampa;
    QString hecho; // for the status bar, with the folio
};

const Registro seguimiento{
    &Servicios::Procesos::RegistraSeguimiento, QStringLiteral("Seguimiento"),
    QStringLiteral("ERR-ID:7500012"),          QStringLiteral("imgSeguimiento_Click()"),
    QStringLiteral("ERR-ID:7500013"),          QStringLiteral("Seguimiento registrado para la oportunidad %1")};
const Registro evento{&Servicios::Procesos::RegistraEvento, QStringLiteral("ERROR"),
                      QStringLiteral("ERR-ID:7500005"),     QStringLiteral("imgEvento_Click()"),
                      QStringLiteral("ERR-ID:7500006"),     QStringLiteral("Evento registrado para la oportunidad %1")};

// Whether the posting was recorded.
bool registra(QWidget *tablero, const Registro &registro, const QString &folio)
{
    bool registrado = false;
    Publico::Atrapa(tablero, registro.tituloTrampa, registro.idTrampa, [&] {
        registrado = (Publico::Procesos.get()->*registro.operacion)(entidad, folio, QString(), QString());
        if (!registrado)
            Publico::Mensaje(Publico::Procesos->UltimoError(), Servicios::Estilo::Critico, registro.tituloFalla,
                             tablero, Publico::Modulo, registro.idFalla);
    });
    return registrado;
}

} // namespace

void frmKLD251::imgSeguimiento_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    if (registra(this, seguimiento, folio))
        anuncia(seguimiento.hecho.arg(folio));
}

void frmKLD251::imgEvento_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    if (registra(this, evento, folio))
        anuncia(evento.hecho.arg(folio));
}
