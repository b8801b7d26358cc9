// The actions on the selected opportunity that need no picker: cancel, won, follow-up,
// event and the related screens.
#include "tablero.h"

#include "ado/connection.h"
#include "publico.h"
#include "respuestas.h"
#include "runtime/error.h"

#include <QTest>

namespace {

using Pruebas::TableroDePrueba;
namespace Estilo = Servicios::Estilo;

// A service library whose postings fail outright, as when it cannot reach what it needs.
class ProcesosQueFallan final : public Servicios::Procesos
{
public:
    bool RegistraSeguimiento(const QString &, const QString &, const QString &, const QString &) override { falla(); }
    bool RegistraEvento(const QString &, const QString &, const QString &, const QString &) override { falla(); }
    bool CierraOportunidad(const QString &, qint32, const QString &) override { falla(); }
    QString UltimoError() override { return {}; }

private:
    [[noreturn]] static void falla() { Runtime::raise(Runtime::ErrorNumber::ObjectNotSet, "Sin servicio"); }
};

class Acciones : public TableroDePrueba
{
protected:
    void SetUp() override
    {
        TableroDePrueba::SetUp();
        base.ejecuta("INSERT INTO Organizacion VALUES ('ORG1', 'Aceros', 'Monterrey', '')");
        base.ejecuta("INSERT INTO Contacto VALUES ('C1', 'María', 'ORG1', '', ''), ('C2', 'Sin empresa', '', '', '')");
        // F4 has no contact; F3's matches none.
        base.ejecuta("UPDATE Oportunidad SET Op_Contacto = CASE Op_Folio WHEN 'F1' THEN 'C1' WHEN 'F2' THEN 'C2' "
                     "WHEN 'F3' THEN 'C9' END");
        base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida VALUES (1, 'Precio', 'AC')");
        abre();
    }

    void pulsaBoton(const char *nombre) const { Pruebas::pulsa(*tablero, QString::fromUtf8(nombre)); }
    void selecciona(const QString &folio) const
    {
        const int renglon = int(folios().indexOf(folio)) + 1;
        ASSERT_GT(renglon, 0) << folio.toStdString();
        lista().selectItem(renglon);
    }
    // Answers the cause picker when it opens: the first cause with Return, or Esc.
    static void eligeCausa(Qt::Key tecla, const std::function<void()> &mientras = {})
    {
        Pruebas::alAparecer("frmCausas", [tecla, mientras](QWidget &selector) {
            if (mientras)
                mientras();
            auto *causas = selector.findChild<Kit::ListView *>("lvCausas");
            causas->selectItem(1);
            QTest::keyClick(causas, tecla);
        });
    }
};

TEST_F(Acciones, cancelAsksThenCancelsAndReloadsButNotWithoutASelectionAPermissionOrAConfirmation)
{
    lista().clearSelection();
    pulsaBoton("imgCancelar");
    selecciona("F1");
    entorno->respuestas = {Servicios::Respuesta::No};
    pulsaBoton("imgCancelar");
    EXPECT_TRUE(soloMensaje({"ERR-ID:7500021", Estilo::SiNo | Estilo::Pregunta | Estilo::SegundoBotonPredeterminado,
                             "CONTINUAR", "¿Seguro que desea cancelar la oportunidad seleccionada?"}));
    EXPECT_EQ(campo("Es_Cve_Estado", "F1"), "AC");
    selecciona("F2");
    pulsaBoton("imgCancelar");
    EXPECT_FALSE(folios().contains("F2")); // cancelled and reloaded: the view leaves cancelled ones out

    base.ejecuta("INSERT INTO Opcion_Restringida VALUES ('OP3', 'KLD251', 'TOOLB2')");
    tablero.reset();
    abre();
    selecciona("F1");
    entorno->mensajes.clear();
    pulsaBoton("imgCancelar");
    EXPECT_TRUE(entorno->mensajes.empty());

    // A row cancelled meanwhile asks nothing.
    base.ejecuta("DELETE FROM Opcion_Restringida");
    tablero.reset();
    abre();
    selecciona("F3");
    base.ejecuta("UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'F3'");
    pulsaBoton("imgCancelar");
    EXPECT_TRUE(entorno->mensajes.empty());
}

// Won closes the opportunity here when no transaction is configured, and goes to the
// configured one otherwise; either way the list is read again afterwards, unless the close
// was refused (closed by another user already) or the user answered no.
TEST_F(Acciones, wonClosesHereOrGoesToTheConfiguredTransactionThenReloads)
{
    selecciona("F2");
    entorno->respuestas = {Servicios::Respuesta::No};
    pulsaBoton("imgGanada");
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad"), 0);
    EXPECT_TRUE(soloMensaje({"ERR-ID:7500022", Estilo::SiNo | Estilo::Informacion | Estilo::SegundoBotonPredeterminado,
                             "Oportunidad ganada",
                             "Se registrará la oportunidad ganada y se quitará del tablero de oportunidades\r\n"
                             "Desea continuar?"}));
    oportunidad("F8", "V9", "ROJO");
    pulsaBoton("imgGanada");
    EXPECT_EQ(base.valor("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = 'F2'"), "1");
    EXPECT_TRUE(anfitrion.solicitudes.isEmpty());
    EXPECT_TRUE(folios().contains("F8"));

    base.ejecuta("INSERT INTO Cierre_Oportunidad VALUES ('F1', 2, 1, 'OTRO', '')");
    oportunidad("F7", "V9", "ROJO");
    selecciona("F1");
    entorno->mensajes.clear();
    pulsaBoton("imgGanada");
    ASSERT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500022", "ERR-ID:7500007"}));
    EXPECT_TRUE(Pruebas::esComo(entorno->mensajes[1], {"ERR-ID:7500007", Estilo::Critico, "Teqvaro",
                                                       "imgGanada() - \r\nLa oportunidad F1 ya fue cerrada"}));
    EXPECT_FALSE(folios().contains("F7"));

    variable("CRM_TRANSACCION_OPORTUNIDAD_GANADA", "KLD300");
    oportunidad("F9", "V9", "ROJO");
    selecciona("F3");
    pulsaBoton("imgGanada");
    EXPECT_EQ(anfitrion.solicitudes, QStringList{"KLD300 NUEVO=F3"});
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad"), 2);
    EXPECT_TRUE(folios().contains("F9"));
}

// The user writes a note and it is stored; a cancelled note is the posting's failure, shown.
TEST_F(Acciones, followUpsAndEventsAreRecordedOrTheirFailureShown)
{
    std::optional<QString> nota;
    Servicios::Fabrica::actual().capturaDeNota = [&nota](Servicios::TipoDeNota, const QString &, const QString &) {
        return nota;
    };
    const std::tuple<const char *, const char *, const char *, const char *> casos[] = {
        // the button, the table, the failure's title and identifier
        {"imgSeguimiento", "Seguimiento", "Seguimiento", "ERR-ID:7500012"},
        {"imgEvento", "Evento", "ERROR", "ERR-ID:7500005"},
    };
    selecciona("F3");
    for (const auto &[boton, tabla, tituloFalla, idFalla] : casos) {
        SCOPED_TRACE(boton);
        entorno->mensajes.clear();
        nota = "Llamó";
        pulsaBoton(boton);
        EXPECT_TRUE(entorno->mensajes.empty());
        EXPECT_EQ(base.cuenta(tabla), 1);

        nota.reset();
        pulsaBoton(boton);
        ASSERT_TRUE(soloMensaje({idFalla, Estilo::Critico, tituloFalla}));
        EXPECT_FALSE(entorno->mensajes[0].texto.isEmpty());
        EXPECT_EQ(base.cuenta(tabla), 1);
    }
}

// Each related screen opens through the host with its exact request; without a selection only
// "new" does, and a missing contact or organisation opens nothing and says nothing.
TEST_F(Acciones, relatedScreensOpenThroughTheHostWithTheirExactRequests)
{
    const auto pulsaTodos = [this] {
        for (const char *boton : {"imgNuevo", "imgContacto", "imgOrganizacion", "imgOportunidad", "imgEditOportunidad"})
            pulsaBoton(boton);
    };
    selecciona("F2"); // a contact without an organisation
    pulsaBoton("imgOrganizacion");
    selecciona("F3"); // a contact key that matches no contact
    pulsaBoton("imgOrganizacion");
    selecciona("F4"); // no contact at all
    pulsaBoton("imgContacto");
    pulsaBoton("imgOrganizacion");
    EXPECT_TRUE(anfitrion.solicitudes.isEmpty());
    lista().clearSelection();
    pulsaTodos();
    selecciona("F1");
    pulsaTodos();
    EXPECT_EQ(anfitrion.solicitudes, (QStringList{"KLD242 ACCION=NUEVO", "KLD242 ACCION=NUEVO",
                                                  "KLD215 ACCION=CONSULTA|DATO=C1", "KLD238 ACCION=CONSULTAR|DATO=ORG1",
                                                  "KLD242 ACCION=CONSULTA|DATO=F1", "KLD242 ACCION=EDITAR|DATO=F1"}));
    EXPECT_TRUE(entorno->mensajes.empty());
}

using Pruebas::eligeEstado;

// The chosen state is written with who changed it, and only that row takes the new state's
// colour and weight in every cell; its own state again or Cancelar write nothing.
TEST_F(Acciones, changingTheStateWritesItAndRecoloursOnlyThatRow)
{
    // The folio, the state picked, the button that closes the picker, the state then, who changed it, its look.
    const std::tuple<const char *, const char *, const char *, const char *, const char *, qint32, bool> casos[] = {
        {"F1", "AZUL", "cmdAceptar", "AZUL", "OP3", 0xFF0000, false}, // red and bold before
        {"F2", "AZUL", "cmdAceptar", "AZUL", "", 0xFF0000, false},    // its own state
        {"F2", "ROJO", "cmdCancelar", "AZUL", "", 0xFF0000, false},
        {"F3", "ROJO", "cmdAceptar", "ROJO", "OP3", 0xFF, true},
    };
    for (const auto &[folio, elegido, boton, queda, quien, color, negrilla] : casos) {
        SCOPED_TRACE(std::string(folio) + " " + elegido);
        selecciona(QString::fromUtf8(folio));
        const int renglon = lista().selectedIndex();
        eligeEstado(QString::fromUtf8(elegido), QString::fromUtf8(boton));
        pulsaBoton("imgEstadoOp");
        EXPECT_EQ(campo("Op_Estado_Oportunidad", folio), QString::fromUtf8(queda));
        EXPECT_EQ(campo("Oper_Ult_Modif", folio), QString::fromUtf8(quien));
        EXPECT_EQ(campo("Fecha_Ult_Modif", folio).isEmpty(), !*quien);
        for (int columna = 0; columna < lista().columnCount(); ++columna) {
            EXPECT_EQ(lista().cellForeColor(renglon, columna), color);
            EXPECT_EQ(lista().cellBold(renglon, columna), negrilla);
        }
    }
    EXPECT_FALSE(lista().cellForeColor(4, 0).has_value()); // the others as they were
    EXPECT_TRUE(entorno->mensajes.empty());

    // Another user's change made while the picker was open is not undone: the user is told and sees it.
    eligeEstado("ROJO", "cmdAceptar", [this] {
        base.ejecuta("UPDATE Oportunidad SET Op_Estado_Oportunidad = 'GRIS' WHERE Op_Folio = 'F2'");
    });
    selecciona("F2");
    pulsaBoton("imgEstadoOp");
    EXPECT_EQ(campo("Op_Estado_Oportunidad", "F2"), "GRIS");
    EXPECT_TRUE(soloMensaje({"", Estilo::Exclamacion, "Cambio de estado"}));
    EXPECT_EQ(lista().cellForeColor(2, 0), 0x808080);
}

// A closing the service refuses (the opportunity was cancelled meanwhile) is shown on one line.
TEST_F(Acciones, lostClosesWithTheChosenCauseOrSaysWhyNot)
{
    selecciona("F2");
    eligeCausa(Qt::Key_Escape);
    pulsaBoton("imgPerdida");
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad"), 0);

    eligeCausa(Qt::Key_Return, [this] { lista().clearSelection(); }); // as a reload meanwhile may
    pulsaBoton("imgPerdida");
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Resultado || '/' || Ci_Cve_Causa FROM Cierre_Oportunidad "
                                        "WHERE Ci_Folio = 'F2'")),
              "2/1");
    EXPECT_TRUE(folios().contains("F2")); // no reload
    EXPECT_TRUE(entorno->mensajes.empty());

    selecciona("F3");
    base.ejecuta("UPDATE Oportunidad SET Es_Cve_Estado = 'CA' WHERE Op_Folio = 'F3'");
    eligeCausa(Qt::Key_Return);
    pulsaBoton("imgPerdida");
    EXPECT_TRUE(
        soloMensaje({"ERR-ID:7500010", Estilo::Critico, "Teqvaro", "imgPerdida(); La oportunidad F3 está cancelada"}));
    EXPECT_EQ(base.cuenta("Cierre_Oportunidad"), 1);
}

// The timer may reload while the user answers and take the selection away; each action
// acts on the folio that was selected when its button was clicked.
TEST_F(Acciones, eachActionActsOnTheFolioSelectedAtItsClick)
{
    const auto pierdeLaSeleccion = [this] { lista().clearSelection(); };
    selecciona("F2");
    eligeEstado("ROJO", "cmdAceptar", pierdeLaSeleccion);
    pulsaBoton("imgEstadoOp");
    EXPECT_EQ(campo("Op_Estado_Oportunidad", "F2"), "ROJO");
    EXPECT_EQ(lista().cellForeColor(2, 0), 0xFF);

    entorno->alMostrar = [&](const Pruebas::MensajeMostrado &) { pierdeLaSeleccion(); };
    selecciona("F1");
    pulsaBoton("imgGanada");
    variable("CRM_TRANSACCION_OPORTUNIDAD_GANADA", "KLD300");
    selecciona("F4");
    pulsaBoton("imgGanada");

    EXPECT_EQ(base.valor("SELECT Ci_Resultado FROM Cierre_Oportunidad WHERE Ci_Folio = 'F1'"), "1");
    EXPECT_EQ(anfitrion.solicitudes, QStringList{"KLD300 NUEVO=F4"});
    EXPECT_EQ(entorno->identificadores(), (QStringList{"ERR-ID:7500022", "ERR-ID:7500022"}));
}

// A failure inside an action is one message titled with the action's routine and carrying
// its own identifier. The cases run in order, each failure staying in place for the next.
TEST_F(Acciones, eachActionsFailureIsTrappedByItsOwnRoutine)
{
    std::unique_ptr<Servicios::Procesos> reales = std::move(Publico::Procesos);
    Publico::Procesos = std::make_unique<ProcesosQueFallan>();
    const auto ejecuta = [this](const char *sql) { return [this, sql] { base.ejecuta(QString::fromUtf8(sql)); }; };
    const std::tuple<const char *, std::function<void()>, QStringList> casos[] = {
        {"imgSeguimiento", {}, {"ERR-ID:7500013"}},
        {"imgEvento", {}, {"ERR-ID:7500006"}},
        {"imgPerdida", [] { eligeCausa(Qt::Key_Return); }, {"ERR-ID:7500011"}},
        {"imgContacto", ejecuta("ALTER TABLE Oportunidad RENAME COLUMN Op_Contacto TO Op_Otro"), {"ERR-ID:7500003"}},
        {"imgOrganizacion", {}, {"ERR-ID:7500009"}},
        {"imgGanada",
         [this] {
             variable("CRM_TRANSACCION_OPORTUNIDAD_GANADA", "KLD300");
             tablero->setPadre(nullptr);
         },
         {"ERR-ID:7500022", "ERR-ID:7500008"}},
        {"imgCancelar", ejecuta("ALTER TABLE Oportunidad RENAME COLUMN Es_Cve_Estado TO Es_Otro"), {"ERR-ID:7500002"}},
        {"imgEstadoOp", ejecuta("ALTER TABLE Oportunidad RENAME TO Fuera"), {"ERR-ID:7500004"}},
    };
    for (const auto &[boton, prepara, mensajes] : casos) {
        SCOPED_TRACE(boton);
        if (prepara)
            prepara();
        entorno->mensajes.clear();
        selecciona("F1");
        pulsaBoton(boton);
        ASSERT_EQ(entorno->identificadores(), mensajes);
        EXPECT_TRUE(Pruebas::esComo(entorno->mensajes.back(),
                                    {mensajes.back(), Estilo::Critico, QString::fromUtf8(boton) + "_Click()"}));
    }
    Publico::Procesos = std::move(reales);
}

} // namespace
