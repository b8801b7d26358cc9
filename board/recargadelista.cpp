// The list's reloading: what is read, when, on which thread, and how a reading is shown.
#include "recargadelista.h"

#include "lectordefondo.h"
#include "publico.h"

#include "ado/connection.h"
#include "ado/session.h"
#include "controles/listmodel.h"
#include "controles/listview.h"
#include "runtime/busycursor.h"
#include "runtime/colors.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/keeppainting.h"
#include "runtime/log.h"
#include "servicios/lecturalista.h"

#include <QLoggingCategory>
#include <QScrollBar>

namespace {

// What each automatic reading read (debug level): QT_LOGGING_RULES="teqvaro.recarga.debug=true".
Q_LOGGING_CATEGORY(logRecarga, "teqvaro.recarga", QtInfoMsg)

// However quiet the database, a view that depends on the clock is read in full at least
// this often.
constexpr std::chrono::seconds lecturaCompletaCada{60};

// The session's change token, or none when it cannot be asked (then the list is read, and
// the reading reports what fails, as any reload does).
std::optional<QString> fichaDeLaSesion()
{
    try {
        return Publico::Entorno->Conexion()->changeToken();
    } catch (...) {
        return std::nullopt;
    }
}

// Each distinct stored colour converted once, when a row first needs it; one that cannot be
// shown is reported, and its rows are in the default look.
class ColoresMostrables
{
public:
    ColoresMostrables(const std::vector<QVariant> &colores, std::function<void(std::exception_ptr)> reporta)
        : m_colores(colores)
        , m_convertidos(colores.size())
        , m_reporta(std::move(reporta))
    { }

    Kit::ListView::RowLook aspectoDe(const std::optional<Aspectos::Aspecto> &aspecto)
    {
        if (!aspecto)
            return {};
        if (const std::optional<qint32> color = convertido(aspecto->color))
            return {color, aspecto->negrilla};
        return {};
    }

private:
    std::optional<qint32> convertido(int indice)
    {
        std::optional<std::optional<qint32>> &convertido = m_convertidos[size_t(indice)];
        if (!convertido) {
            try {
                const qint32 referencia = Runtime::toColorReference(m_colores[size_t(indice)]);
                if (!Runtime::isValidColorReference(referencia))
                    Runtime::raise(Runtime::ErrorNumber::InvalidPropertyValue);
                convertido = std::optional<qint32>(referencia);
            } catch (...) {
                convertido = std::optional<qint32>();
                m_reporta(std::current_exception());
            }
        }
        return *convertido;
    }

    const std::vector<QVariant> &m_colores;
    std::vector<std::optional<std::optional<qint32>>> m_convertidos;
    std::function<void(std::exception_ptr)> m_reporta;
};

} // namespace

RecargaDeLista::RecargaDeLista(Kit::ListView &lista, Consulta consulta, Avisos avisos)
    : m_lista(lista)
    , m_consulta(std::move(consulta))
    , m_avisos(std::move(avisos))
    , m_ficha(fichaDeLaSesion)
    , m_lector(std::make_unique<LectorDeFondo>([this](LecturaDeFondo lectura) {
        Runtime::runHandler("TmrRefresh_Timer", [&] { recibe(std::move(lectura)); });
    }))
{ }

RecargaDeLista::~RecargaDeLista() = default;

void RecargaDeLista::setFicha(Ficha ficha)
{
    m_ficha = ficha;
    m_fichaDePrueba = std::move(ficha);
}

bool RecargaDeLista::enCurso() const
{
    return m_lector->leyendo() || m_pendiente;
}

void RecargaDeLista::recarga()
{
    if (m_cargando)
        return;
    descartaLecturas();
    comoRecarga(Tipo::Pedida, [this] { cargaAhora(); });
}

void RecargaDeLista::descartaLecturas()
{
    ++m_generacion;
    m_lector->detiene();
    m_pendiente.reset();
}

void RecargaDeLista::olvida()
{
    descartaLecturas();
    m_vistaMostrada.reset();
    m_fichaMostrada.reset();
    m_leidaCompleta = {};
}

// A reload's work: nothing nests in it, a colouring failure is reported once in it, and any
// other failure as the reading's.
void RecargaDeLista::comoRecarga(Tipo tipo, const std::function<void()> &cuerpo)
{
    m_cargando = true;
    m_tipo = tipo;
    m_fallasDeAspectoMostradas.clear();
    try {
        cuerpo();
    } catch (...) {
        reportaFallaDeLectura(std::current_exception());
    }
    m_cargando = false;
}

void RecargaDeLista::cargaAhora()
{
    conoceLaReserva();
    const std::optional<ConsultaDeVista> vista = consultaParaLeer();
    if (!vista)
        return;
    const Lugar antes = lugarActual();
    Leida leida;
    leida.ficha = m_ficha();
    leida.inicio = m_reloj();
    bool llena = false;
    {
        const Runtime::BusyCursor ocupado;
        llena = Publico::Funciones->LlenaLista(*vista->sql, m_lista, -1);
    }
    if (!llena) {
        m_fallaMostrada = Publico::Funciones->UltimaFalla(); // the library has shown it
        noSeLeyo(leida.inicio);
        return;
    }
    leeAspectos(leida);
    muestra(*vista, leida, antes);
}

// The view to read with its statement; none when there is nothing to read, or when its
// stored query is missing, which is dealt with here.
std::optional<ConsultaDeVista> RecargaDeLista::consultaParaLeer()
{
    std::optional<ConsultaDeVista> vista = m_consulta();
    if (vista && !vista->sql) {
        faltaLaConsulta(*vista);
        return std::nullopt;
    }
    return vista;
}

void RecargaDeLista::aplicaPendiente()
{
    if (!m_pendiente || m_cargando || Publico::HayMensajeAbierto())
        return;
    std::unique_ptr<LecturaDeFondo> lectura = std::move(m_pendiente);
    // The rows it was compared with must still be the rows shown.
    if (lectura->generacion == m_generacion && lectura->comparadaCon.lock() == m_lista.listModel().table())
        aplicaDeFondo(std::move(*lectura));
}

// Nothing nests: no question is asked while a reading reads, waits to be shown, or while a
// reload runs on the user-interface thread. The question and the reading it calls for run on
// the reader's thread; only the statement of a view whose stored query may have changed is
// made here, with the answer.
void RecargaDeLista::recargaAutomatica()
{
    if (m_cargando || enCurso())
        return;
    PedidoDeLectura pregunta = pedido(m_reloj());
    pregunta.sql = m_vistaMostrada ? m_vistaMostrada->sql.value_or(QString()) : QString();
    pregunta.ficha = m_fichaMostrada;
    if (m_vistaMostrada)
        m_vistaDeFondo = *m_vistaMostrada;
    if (m_fichaDePrueba) {
        pregunta.preguntaFija = [ficha = m_fichaDePrueba, mostrada = m_fichaMostrada] {
            const std::optional<QString> ahora = ficha();
            using Respuesta = CambiosDeLaVista::Respuesta;
            return ahora ? std::optional(Respuesta{
                       mostrada == ahora ? Respuesta::Que::Nada : Respuesta::Que::Todo, {}, *ahora, mostrada != ahora})
                         : std::nullopt;
        };
    }
    m_lector->lee(std::move(pregunta));
}

void RecargaDeLista::tocaElTimbre()
{
    if (!m_cargando)
        m_lector->tocaElTimbre();
}

// What every automatic request carries: where it may read, what it compares with, and when.
PedidoDeLectura RecargaDeLista::pedido(std::chrono::steady_clock::time_point inicio)
{
    PedidoDeLectura pedido;
    pedido.servidores = {Ado::Session::address(), m_reserva.value_or(std::nullopt), Ado::Connection::serverWrites(),
                         Ado::Session::inTransaction()};
    pedido.mostrada = m_lista.snapshot();
    pedido.generacion = m_generacion;
    pedido.inicio = inicio;
    pedido.escrituras = Ado::Connection::localWrites();
    pedido.mismaConsulta = m_vistaMostrada.has_value() && m_fichaMostrada.has_value();
    pedido.minutoCumplido = inicio - m_leidaCompleta >= lecturaCompletaCada;
    return pedido;
}

// The question found changes that may reach the view's statement: it is made again here, and
// read on the reader's thread, on the server the question was asked of.
void RecargaDeLista::leeConLaConsulta(const LecturaDeFondo &respondida)
{
    comoRecarga(Tipo::Automatica, [&] {
        const std::optional<ConsultaDeVista> vista = consultaParaLeer();
        if (!vista)
            return;
        m_vistaDeFondo = *vista;
        PedidoDeLectura lectura = pedido(respondida.inicio);
        lectura.sql = *vista->sql;
        lectura.ficha = respondida.ficha;
        lectura.pregunta = false;
        lectura.cambios = respondida.releeLaConsulta;
        // The changes refer to the rows shown, which must be this statement's.
        lectura.mismaConsulta = lectura.mismaConsulta && m_vistaMostrada->sql == vista->sql;
        m_lector->lee(std::move(lectura));
    });
}

void RecargaDeLista::recibe(LecturaDeFondo lectura)
{
    if (lectura.respondio) {
        m_sinRespuesta = !*lectura.respondio;
        m_caidaDicha = m_caidaDicha && m_sinRespuesta;
        m_avisos.conexion(*lectura.respondio);
    }
    if (lectura.generacion != m_generacion)
        return;
    if (lectura.sinCambios) {
        m_fichaMostrada = lectura.ficha; // the rows shown are as of now
        return;
    }
    if (lectura.releeLaConsulta) {
        // Not while a reload runs: the next tick asks again.
        if (!m_cargando)
            leeConLaConsulta(lectura);
        return;
    }
    if (!(lectura.filas || lectura.fallaDeLista))
        return;
    m_pendiente = std::make_unique<LecturaDeFondo>(std::move(lectura));
    aplicaPendiente();
}

// A list that could not be read stays as it was, with its count, and the failure is
// reported as an automatic reload's.
void RecargaDeLista::aplicaDeFondo(LecturaDeFondo lectura)
{
    comoRecarga(Tipo::Automatica, [&] {
        if (lectura.fallaDeLista) {
            noSeLeyo(lectura.inicio);
            std::rethrow_exception(lectura.fallaDeLista);
        }
        const Lugar antes = lugarActual();
        const Leida leida{std::move(lectura.aspectos),
                          lectura.fallaDeAspectos,
                          lectura.ficha,
                          lectura.inicio,
                          lectura.filas->table != nullptr,
                          lectura.soloCambiadas,
                          aspectosConservados(lectura.conservada),
                          std::move(lectura.releidas)};
        qCDebug(logRecarga).noquote() << (leida.soloCambiadas ? QStringLiteral("sólo las cambiadas")
                                                              : QStringLiteral("entera"));
        Servicios::aplicaLectura(m_lista, std::move(*lectura.filas));
        muestra(m_vistaDeFondo, leida, antes);
    });
}

// How every reading that brought rows ends, read here or on the reader's thread.
void RecargaDeLista::muestra(const ConsultaDeVista &vista, const Leida &leida, const Lugar &antes)
{
    if (leida.fallaDeAspectos)
        reportaFallaDeAspecto(leida.fallaDeAspectos);
    if (leida.soloCambiadas && !leida.filasNuevas)
        aplicaAspectosDe(leida.releidas, leida.aspectos);
    else
        aplicaAspectos(leida.aspectos, leida.conservados);
    if (leida.filasNuevas)
        restaura(antes);
    m_vistaMostrada = vista;
    m_fichaMostrada = leida.ficha;
    if (!leida.soloCambiadas)
        m_leidaCompleta = leida.inicio;
    m_fallaMostrada.reset();
    m_caidaDicha = false;
    m_avisos.cuentaCambiada();
}

void RecargaDeLista::noSeLeyo(std::chrono::steady_clock::time_point inicio)
{
    m_fichaMostrada.reset();
    m_leidaCompleta = inicio;
    m_avisos.cuentaCambiada();
}

// A missing stored query changes nothing in the rows of the view shown; after a switch to
// another view the list is emptied, so no view's rows stand under another's name.
void RecargaDeLista::faltaLaConsulta(const ConsultaDeVista &vista)
{
    if (!m_vistaMostrada || !m_vistaMostrada->mismaVista(vista)) {
        m_lista.replaceContents({}, {});
        m_vistaMostrada.reset();
    }
    m_avisos.cuentaCambiada();
    if (hayQueAvisar(QStringLiteral("consulta|") + vista.clave))
        m_avisos.consultaFaltante(vista.clave);
}

bool RecargaDeLista::hayQueAvisar(const QString &motivo)
{
    if (m_tipo == Tipo::Automatica && (m_fallaMostrada == motivo || m_caidaDicha))
        return false;
    m_fallaMostrada = motivo;
    m_caidaDicha = m_sinRespuesta;
    return true;
}

void RecargaDeLista::reportaFallaDeLectura(std::exception_ptr falla)
{
    if (!hayQueAvisar(Runtime::toRuntimeError(falla).description())) {
        Runtime::logRepeatedFailure("Carga_Oportunidades", falla);
        return;
    }
    m_avisos.fallaDeLectura(falla);
}

void RecargaDeLista::reportaFallaDeAspecto(std::exception_ptr falla)
{
    const QString descripcion = Runtime::toRuntimeError(falla).description();
    if (m_cargando && m_fallasDeAspectoMostradas.contains(descripcion))
        return;
    m_fallasDeAspectoMostradas.insert(descripcion);
    m_avisos.fallaDeAspecto(falla);
}

// Every row in its state's look, with one look-up for the whole list instead of one per row.
void RecargaDeLista::leeAspectos(Leida &leida) const
{
    try {
        const Runtime::BusyCursor ocupado;
        Runtime::KeepPainting pintura(&m_lista);
        leida.aspectos = Aspectos::lee(*Publico::Entorno->Conexion(), *m_lista.listModel().table(),
                                       [&] { pintura.tick(); });
    } catch (...) {
        leida.fallaDeAspectos = std::current_exception();
    }
}

// A row whose state has no look, or whose colour cannot be shown, is in the default look, as
// a row created afresh is.
// The list takes each distinct look once and a number per row: a few looks for millions of rows.
void RecargaDeLista::aplicaAspectos(const Aspectos::Leidos &leidos, const AspectosDeFilas &conservados)
{
    ColoresMostrables colores(leidos.colores, [this](std::exception_ptr falla) { reportaFallaDeAspecto(falla); });
    // The looks read keep their numbers: the first is the default look. Only the colours of
    // looks some row has are converted, so that a state no row is in reports nothing.
    std::vector<int> aspectoDeFila = leidos.porPosicion;
    aspectoDeFila.resize(size_t(m_lista.itemCount()), 0);
    std::vector<char> usados(leidos.aspectos.size() + 1, 0);
    for (const int numero : aspectoDeFila)
        usados[size_t(numero)] = 1;
    std::vector<Kit::ListView::RowLook> distintos{Kit::ListView::RowLook{}};
    for (size_t numero = 1; numero < usados.size(); ++numero)
        distintos.push_back(usados[numero] ? colores.aspectoDe(leidos.aspectos[numero - 1]) : Kit::ListView::RowLook{});
    const auto numeroDe = [&](const Kit::ListView::RowLook &aspecto) {
        const auto visto = std::find(distintos.cbegin(), distintos.cend(), aspecto);
        if (visto != distintos.cend())
            return int(visto - distintos.cbegin());
        distintos.push_back(aspecto);
        return int(distintos.size()) - 1;
    };
    for (size_t fila = 0; fila < std::min(aspectoDeFila.size(), conservados.size()); ++fila) {
        if (conservados[fila])
            aspectoDeFila[fila] = numeroDe(*conservados[fila]);
    }
    m_lista.setEveryRowLook(distintos, std::move(aspectoDeFila));
}

// The rows read again take their looks; the others, staying in their places, keep theirs.
void RecargaDeLista::aplicaAspectosDe(const std::vector<int> &releidas, const Aspectos::Leidos &leidos)
{
    ColoresMostrables colores(leidos.colores, [this](std::exception_ptr falla) { reportaFallaDeAspecto(falla); });
    std::vector<Kit::ListView::RowLook> aspectos;
    for (size_t releida = 0; releida < releidas.size(); ++releida)
        aspectos.push_back(colores.aspectoDe(leidos.de(releida)));
    m_lista.setRowLooksInArrivalOrder(releidas, aspectos);
}

// The looks the rows kept by a reading of the changed rows alone have now, by the result's
// rows (none for a row read again).
RecargaDeLista::AspectosDeFilas RecargaDeLista::aspectosConservados(const std::vector<int> &conservada) const
{
    AspectosDeFilas conservados(conservada.size());
    const Kit::ListModel &modelo = m_lista.listModel();
    for (size_t fila = 0; fila < conservada.size(); ++fila) {
        if (conservada[fila] < 0)
            continue;
        const Kit::ListModel::CellLook aspecto = modelo.look(modelo.positionOf(conservada[fila]), 0);
        conservados[fila] = Kit::ListView::RowLook{
            aspecto.hasColor ? std::optional<qint32>(aspecto.color) : std::nullopt, aspecto.bold};
    }
    return conservados;
}

// Once, when the user first reloads: the board asks no look-up of the session's server on
// the automatic reload's behalf. Until then, and should it fail, the primary serves.
void RecargaDeLista::conoceLaReserva()
{
    if (m_reserva)
        return;
    try {
        m_reserva = ServidorDeLectura::reservaNombrada(*Publico::Entorno->Conexion());
    } catch (...) {
        // looked up again at the next reload
    }
}

RecargaDeLista::Lugar RecargaDeLista::lugarActual() const
{
    const int seleccionado = m_lista.selectedIndex();
    return {seleccionado == 0 ? std::nullopt : std::optional(m_lista.itemText(seleccionado)),
            m_lista.verticalScrollBar()->value()};
}

// The previously selected folio is selected again, and the view scrolled back to where the
// user was: rows that stayed in their places keep both by themselves.
void RecargaDeLista::restaura(const Lugar &lugar)
{
    const Kit::ListModel &modelo = m_lista.listModel();
    for (int posicion = 0; lugar.folio && posicion < modelo.size(); ++posicion) {
        if (modelo.text(posicion, 0) == *lugar.folio && m_lista.selectedIndex() != posicion + 1)
            m_lista.selectItem(posicion + 1);
    }
    m_lista.verticalScrollBar()->setValue(lugar.desplazamiento);
    m_lista.viewport()->update();
}
