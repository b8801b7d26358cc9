#pragma once

#include "aspectos.h"
#include "cambiosdelavista.h"
#include "controles/listupdate.h"
#include "lecturadecambiadas.h"
#include "servidordelectura.h"
#include "timbredecambios.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

// A reading of the board's list, asked for on the user-interface thread: the automatic
// reload's change question, and the reading it calls for.
struct PedidoDeLectura
{
    using Respuesta = CambiosDeLaVista::Respuesta;

    Servidores servidores;
    QString sql;                // the statement of the view to read; for a question, the one shown
    Kit::ListSnapshot mostrada; // what the reading compares the result with
    quint64 generacion = 0;
    // For a question: the change token of the rows shown; for a reading: the token the rows
    // read will be as of.
    std::optional<QString> ficha;
    std::chrono::steady_clock::time_point inicio;
    quint64 escrituras = 0; // this process's writes begun before the reading
    bool pregunta = true;   // ask first whether anything changed
    // A test's own change question, in place of the database's.
    std::function<std::optional<Respuesta>()> preguntaFija;
    std::optional<Respuesta> cambios; // for a reading: what the question found
    bool mismaConsulta = false;       // the statement is that of the rows shown, read as of a token
    bool minutoCumplido = false;      // a view that depends on the clock is due to be read whole
};

// What a reading brings back to the user-interface thread.
struct LecturaDeFondo
{
    quint64 generacion = 0;
    std::optional<QString> ficha;
    std::chrono::steady_clock::time_point inicio;
    std::optional<bool> respondio; // whether the change question was answered; none when not asked
    bool sinCambios = false;       // nothing to read: the rows shown are as of `ficha`
    // The view's stored query may have changed with the rest: the user-interface thread reads it
    // (the salesperson's filter and the list's layout go with it) and asks for the reading.
    std::optional<CambiosDeLaVista::Respuesta> releeLaConsulta;
    std::weak_ptr<const Kit::TextTable> comparadaCon; // the rows the changes refer to
    std::optional<Kit::ListUpdate> filas;             // none when it was stopped
    Aspectos::Leidos aspectos;
    // When only the changed rows were read (`soloCambiadas`), with a new table: for each of its
    // rows, the row shown whose look it keeps, or -1 for a row read again (its look is in
    // `aspectos`); without one: the rows read again, whose looks `aspectos` holds in order.
    bool soloCambiadas = false;
    std::vector<int> conservada;
    std::vector<int> releidas;
    std::exception_ptr fallaDeLista;    // the view's query did not run
    std::exception_ptr fallaDeAspectos; // the looks could not be read
};

// What the reading thread keeps from one reading to the next: its connections, what it learnt
// of each view's statement, and the doorbell it listens to.
struct EstadoDelLector
{
    ServidorDeLectura servidor;
    CambiosDeLaVista cambios;
    TimbreDeCambios timbre;
};

// Asks the automatic reload's change question and reads the board's list on a thread of its
// own, one at a time, through connections of its own that stay open between readings (a
// connection belongs to the thread that opens it, and a new server session for every reading
// costs the server more than the reading of a quiet view), and hands the result to the
// user-interface thread, which never waits on the server for an automatic reload.
class LectorDeFondo final : public QObject
{
    Q_OBJECT

public:
    explicit LectorDeFondo(std::function<void(LecturaDeFondo)> alTerminar, QObject *parent = nullptr);
    // Stops the reading in progress and waits for its thread.
    ~LectorDeFondo() override;

    // From the start of a reading until its result has been handed over.
    bool leyendo() const { return m_leyendo; }
    void lee(PedidoDeLectura pedido);
    // Between readings: the board that rings for the others rings (see TimbreDeCambios).
    void tocaElTimbre();
    // The reading in progress stops at its next row and brings nothing; it also stops when
    // this process begins to write to its SQLite database.
    void detiene();

private:
    QThreadPool m_hilo;
    QFutureWatcher<LecturaDeFondo> m_vigilante;
    std::shared_ptr<std::atomic_bool> m_detenida;
    // Only the reading thread touches it, and closes its connections there when the reader goes.
    std::shared_ptr<std::unique_ptr<EstadoDelLector>> m_estado = std::make_shared<std::unique_ptr<EstadoDelLector>>(
        std::make_unique<EstadoDelLector>());
    std::function<void(LecturaDeFondo)> m_alTerminar;
    bool m_leyendo = false;
    std::shared_ptr<std::atomic_bool> m_tocando = std::make_shared<std::atomic_bool>(false);
};
