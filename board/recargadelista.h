#pragma once

#include "aspectos.h"
#include "lectordefondo.h"

#include "controles/listview.h"

#include <QSet>
#include <QString>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

// What a reload reads: the view shown (its name and its stored query's key) and its
// statement, none when the stored query is missing or blank.
struct ConsultaDeVista
{
    QString nombre;
    QString clave;
    std::optional<QString> sql;

    // Whether it is the same view, whatever its statement reads now.
    bool mismaVista(const ConsultaDeVista &otra) const { return nombre == otra.nombre && clave == otra.clave; }
};

// The reloading of the board's list: F5, the button, a view change, an activation and the
// actions read it at once on the user-interface thread; the refresh timer reads it on a
// thread of its own, and only when a table the view reads had a commit since the rows shown
// were read (their change token), or, for a view that depends on the clock, a minute after
// they were read in full. Every reading, of either kind, ends in the one routine that shows
// it. The board tells the user what this class decides to tell, through its `Avisos`.
class RecargaDeLista final
{
public:
    using Reloj = std::function<std::chrono::steady_clock::time_point()>;
    // The database's change token; none when it cannot be asked.
    using Ficha = std::function<std::optional<QString>()>;
    // The view to read, or none when there is nothing to read (no salesperson yet, no view).
    using Consulta = std::function<std::optional<ConsultaDeVista>()>;

    struct Avisos
    {
        std::function<void(std::exception_ptr)> fallaDeLectura; // the list could not be read
        std::function<void(std::exception_ptr)> fallaDeAspecto; // a look could not be read or shown
        std::function<void(const QString &clave)> consultaFaltante;
        std::function<void(bool responde)> conexion; // each change question, answered or not
        std::function<void()> cuentaCambiada;        // after every reload, failed or not
    };

    RecargaDeLista(Kit::ListView &lista, Consulta consulta, Avisos avisos);
    ~RecargaDeLista(); // stops the reading in progress and waits for its thread

    // A reload the user asked for, read at once. One asked for while a reload runs (a tick
    // during one of its messages) is skipped: the running one shows the current rows.
    void recarga();
    // The automatic reload, on the timer's tick: a reading that waits to be shown is shown
    // (unless a message is open), and a new one starts when the database changed.
    void aplicaPendiente();
    void recargaAutomatica();
    // Every tick between automatic reloads (see TimbreDeCambios).
    void tocaElTimbre();
    // A reload or an action makes any reading begun before it stale: it stops, and nothing
    // it found is shown.
    void descartaLecturas();
    // The list was emptied: the next reading starts afresh.
    void olvida();

    bool enCurso() const; // an automatic reading still reads or waits to be shown
    bool cargando() const { return m_cargando; }
    // The clock and the change token the reloads go by (a test may put its own: then any
    // change of the token counts, whatever the tables; it is asked on the reading thread too).
    void setReloj(Reloj reloj) { m_reloj = std::move(reloj); }
    void setFicha(Ficha ficha);

    // A colouring failure is said once per reload for each description.
    void reportaFallaDeAspecto(std::exception_ptr falla);

private:
    enum class Tipo { Pedida, Automatica };
    struct Lugar
    {
        std::optional<QString> folio; // none when no row was selected
        int desplazamiento = 0;
    };
    using AspectosDeFilas = std::vector<std::optional<Kit::ListView::RowLook>>;
    struct Leida
    {
        Aspectos::Leidos aspectos;
        std::exception_ptr fallaDeAspectos;
        std::optional<QString> ficha;
        std::chrono::steady_clock::time_point inicio;
        bool filasNuevas = true;
        bool soloCambiadas = false;  // only the changed rows were read
        AspectosDeFilas conservados; // the looks of the rows it kept, by its rows
        std::vector<int> releidas;   // with the rows shown staying: those read again
    };

    void comoRecarga(Tipo tipo, const std::function<void()> &cuerpo);
    std::optional<ConsultaDeVista> consultaParaLeer();
    void cargaAhora();
    PedidoDeLectura pedido(std::chrono::steady_clock::time_point inicio);
    void leeConLaConsulta(const LecturaDeFondo &respondida);
    void recibe(LecturaDeFondo lectura);
    void aplicaDeFondo(LecturaDeFondo lectura);
    void muestra(const ConsultaDeVista &vista, const Leida &leida, const Lugar &antes);
    void noSeLeyo(std::chrono::steady_clock::time_point inicio);
    void faltaLaConsulta(const ConsultaDeVista &vista);
    bool hayQueAvisar(const QString &motivo);
    void reportaFallaDeLectura(std::exception_ptr falla);
    void leeAspectos(Leida &leida) const;
    void aplicaAspectos(const Aspectos::Leidos &leidos, const AspectosDeFilas &conservados = {});
    void aplicaAspectosDe(const std::vector<int> &releidas, const Aspectos::Leidos &leidos);
    AspectosDeFilas aspectosConservados(const std::vector<int> &conservada) const;
    void conoceLaReserva();
    Lugar lugarActual() const;
    void restaura(const Lugar &lugar);

    Kit::ListView &m_lista;
    Consulta m_consulta;
    Avisos m_avisos;

    // Nothing nests: a reload asked for while one runs is skipped.
    bool m_cargando = false;
    Tipo m_tipo = Tipo::Pedida;
    // While the database stays down every automatic reload fails the same way: the user is
    // told once, until a reload succeeds. A reload the user asked for always says why.
    std::optional<QString> m_fallaMostrada;
    // While the server does not answer the change question, its failures come in several
    // words (a session ended, a connection refused, no answer in time): one is said.
    bool m_sinRespuesta = false;
    bool m_caidaDicha = false;
    QSet<QString> m_fallasDeAspectoMostradas;
    // The view whose rows the list shows: another view's rows never stay under its name.
    std::optional<ConsultaDeVista> m_vistaMostrada;
    ConsultaDeVista m_vistaDeFondo; // the view the reading in progress reads

    // A reading is shown only if no reload or action came after it began (its generation).
    std::optional<QString> m_fichaMostrada;
    std::chrono::steady_clock::time_point m_leidaCompleta;
    Reloj m_reloj{&std::chrono::steady_clock::now};
    Ficha m_ficha;
    Ficha m_fichaDePrueba; // a test's token, for the automatic reload's question too
    // The standby named for the session, once looked up (by a reload the user asked for).
    std::optional<std::optional<Ado::DatabaseAddress>> m_reserva;
    quint64 m_generacion = 0;
    std::unique_ptr<LecturaDeFondo> m_pendiente;
    std::unique_ptr<LectorDeFondo> m_lector; // last, so it stops before the rest goes
};
