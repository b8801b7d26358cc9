// The actions on the selected opportunity: cancel it, change its state, close it as won
// or lost, record a follow-up or an event.
#include "frmKLD251.h"

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
                         [&] { vigente = sigueVigente(folio); })
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

bool frmKLD251::sigueVigente(const QString &folio)
{
    Publico::TextoSql = QStringLiteral("SELECT Es_Cve_Estado ") + QStringLiteral(" FROM Oportunidad ")
                        + QStringLiteral(" WHERE Op_Folio = '") + Ado::quoted(folio) + QStringLiteral("' AND ")
                        + QStringLiteral("   Es_Cve_Estado <> 'CA'");
    const Ado::Recordset estado = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    return !estado.atEnd();
}

// The update and its audit entry are committed together or not at all, and the
// transaction is over before any message shows. The update touches only a row still not
// cancelled: when another user cancelled it meanwhile, nothing is written and the list shows
// the other user's work.
void frmKLD251::cancela(const QString &folio)
{
    const auto escribe = [&folio] {
        const std::shared_ptr<Ado::Connection> conexion = Publico::Entorno->Conexion();
        Ado::Transaction transaccion(*conexion);
        Publico::TextoSql = QStringLiteral("UPDATE Oportunidad SET ") + QStringLiteral("   Oper_Baja = '")
                            + Ado::quoted(Publico::Entorno->Operador()) + QStringLiteral("', ")
                            + QStringLiteral("   Fecha_Baja = '")
                            + Ado::quoted(Publico::Funciones->FormatoFechaBaja(Publico::Funciones->FechaActual()))
                            + QStringLiteral("', ") + QStringLiteral("   Es_Cve_Estado = 'CA' ")
                            + QStringLiteral("WHERE Op_Folio = '") + Ado::quoted(folio) + QStringLiteral("'")
                            + QStringLiteral(" AND Es_Cve_Estado <> 'CA'");
        qint64 afectados = 0;
        conexion->Execute(Publico::TextoSql, &afectados, -1);
        if (afectados == 0)
            return false;
        Publico::Funciones->RegistraBitacora(entidad, folio, QStringLiteral("Cancelación"));
        transaccion.commit();
        return true;
    };
    bool cancelada = false;
    try {
        cancelada = escribe();
    } catch (...) {
        anuncia(QStringLiteral("No se canceló la oportunidad %1").arg(folio));
        Publico::ReportaFalla(this, QStringLiteral("imgCancelar_Click()"), QStringLiteral("ERR-ID:7500002"),
                              std::current_exception());
        return;
    }
    anuncia((cancelada ? QStringLiteral("Oportunidad %1 cancelada")
                       : QStringLiteral("La oportunidad %1 ya estaba cancelada"))
                .arg(folio));
    Carga_Oportunidades();
}

// The folio is taken at the click: the timer may reload while the picker is open, and the
// row may move or leave the list meanwhile.
void frmKLD251::imgEstadoOp_Click()
{
    if (lvOrdenes->selectedIndex() == 0)
        return;
    const QString folio = folioSeleccionado();
    Publico::Atrapa(this, QStringLiteral("imgEstadoOp_Click()"), QStringLiteral("ERR-ID:7500004"), [this, &folio] {
        const QString actual = estadoActual(folio);
        frmEstados estados;
        estados.load();
        estados.Mostrar(actual);
        const QString elegido = estados.EstadoSeleccionado;
        const bool aceptado = estados.Aceptado;
        const QString descripcion = estados.lbDescripcion->text();
        estados.unload();
        if (!aceptado || elegido == actual)
            return;
        Publico::TextoSql = QStringLiteral("UPDATE Oportunidad SET ") + QStringLiteral("   Oper_Ult_Modif = '")
                            + Ado::quoted(Publico::Entorno->Operador()) + QStringLiteral("', ")
                            + QStringLiteral("   Fecha_Ult_Modif = '")
                            + Ado::quoted(
                                Publico::Funciones->FormatoFechaModificacion(Publico::Funciones->FechaActual()))
                            + QStringLiteral("', ") + QStringLiteral("   Op_Estado_Oportunidad = '")
                            + Ado::quoted(elegido) + QStringLiteral("' ") + QStringLiteral("WHERE Op_Folio = '")
                            + Ado::quoted(folio) + QStringLiteral("'") + mismoEstado(actual);
        qint64 cambiados = 0;
        Publico::Entorno->Conexion()->Execute(Publico::TextoSql, &cambiados, -1);
        if (cambiados == 0) {
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

// The state is written only over the state the picker showed: another user's change made
// while this user chose is not undone.
QString frmKLD251::mismoEstado(const QString &leido)
{
    if (leido.isEmpty())
        return QStringLiteral(" AND (Op_Estado_Oportunidad IS NULL OR Op_Estado_Oportunidad = '')");
    return QStringLiteral(" AND Op_Estado_Oportunidad = '") + Ado::quoted(leido) + QStringLiteral("'");
}

void frmKLD251::avisaEstadoCambiadoPorOtro()
{
    Publico::Mensaje(QStringLiteral("Otro usuario cambió o quitó esta oportunidad mientras usted elegía el estado; ")
                         + QStringLiteral("no se guardó su cambio. La lista muestra ahora cómo quedó."),
                     Servicios::Estilo::Exclamacion, QStringLiteral("Cambio de estado"), this, Publico::Modulo,
                     QString());
    Carga_Oportunidades();
}

QString frmKLD251::estadoActual(const QString &folio)
{
    Publico::TextoSql = QStringLiteral("SELECT Op_Estado_Oportunidad FROM Oportunidad WHERE Op_Folio = '")
                        + Ado::quoted(folio) + QStringLiteral("'");
    const Ado::Recordset oportunidad = Publico::Entorno->Conexion()->Execute(Publico::TextoSql, nullptr, -1);
    return oportunidad.atEnd() ? QString()
                               : Runtime::toTextOrEmpty(oportunidad.field(QStringLiteral("Op_Estado_Oportunidad")));
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
        const QString transaccion = Runtime::toText(Publico::Entorno->LeeVariable(
            QStringLiteral("CRM_TRANSACCION_OPORTUNIDAD_GANADA"), 0, QStringLiteral("T"), QString()));
        if (!transaccion.isEmpty()) {
            Lanzador::Lanza(Padre(), transaccion, Lanzador::ParametrosGanada(folio));
            Carga_Oportunidades();
            return;
        }
        if (Publico::Procesos->CierraOportunidad(folio, 1, QString())) {
            anuncia(QStringLiteral("Oportunidad %1 cerrada como ganada").arg(folio));
            Carga_Oportunidades();
            return;
        }
        Publico::Mensaje(QStringLiteral("imgGanada() - ") + QStringLiteral("\r\n") + Publico::Procesos->UltimoError(),
                         Servicios::Estilo::Critico, Publico::Producto, this, Publico::Modulo,
                         QStringLiteral("ERR-ID:7500007"));
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
        if (Publico::Procesos->CierraOportunidad(folio, 2, causa)) {
            anuncia(QStringLiteral("Oportunidad %1 cerrada como perdida (%2)").arg(folio, causa));
            return;
        }
        Publico::Mensaje(QStringLiteral("imgPerdida(); ") + Publico::Procesos->UltimoError(),
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
