// Hostile values at every place the module writes a value into a statement: each stays
// inside its literal, only the intended row changes, and the login accepts nobody it
// should not.
#include "tablero.h"

#include "ado/recordset.h"
#include "ado/sqltext.h"
#include "controles/flatbutton.h"
#include "controles/txtzel.h"
#include "errores.h"
#include "frmLogin.h"
#include "respuestas.h"
#include "runtime/conversions.h"
#include "servicios/contrasenavendedor.h"
#include "servicios/entornosql.h"
#include "servicios/frenodeintentos.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"

#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

const auto q = Ado::literal;

// Values a user may type or an administrator may store that try to leave their literal or
// trip up the database: quotes, statement ends, comments, backslashes, LIKE wildcards, very
// long text, accents and non-Latin scripts; then empty text, and last a NUL character, which
// no stored value can hold but a user can still type.
const char *const cortas[] = {
    "O'Brien", "'; DROP TABLE Oportunidad; --", "' OR '1'='1",         "\\' OR 1=1 --",    "C:\\ruta\\", "100%", "_",
    "%_%'",    "\"; DELETE FROM Bitacora; --",  "Peñón Ñandú áéíóú ü", "北京 Москва عربى", "''"};
const QStringList cargas = QStringList(std::begin(cortas), std::end(cortas))
                           << QString("ñ'").repeated(5000) << QString()
                           << QString("nu") + QChar(u'\0') + "lo' OR '1'='1";
const auto sinNulo = [](const QString &carga) { return !carga.contains(QChar(u'\0')); };

class Hostil : public Pruebas::TableroDePrueba
{
protected:
    // Every opportunity's state and record status, by folio: what must not change except
    // where an action was meant to.
    QMap<QString, QString> oportunidades() const
    {
        QMap<QString, QString> filas;
        Ado::Recordset datos = base.conexion()->Execute(
            "SELECT Op_Folio, COALESCE(Op_Estado_Oportunidad, '') || ' / ' || Es_Cve_Estado FROM Oportunidad");
        for (; !datos.atEnd(); datos.moveNext())
            filas[Runtime::toTextOrEmpty(datos.field(0))] = Runtime::toTextOrEmpty(datos.field(1));
        return filas;
    }

    void pulsaBoton(const char *nombre) const { static_cast<QToolButton *>(control(nombre))->click(); }
};

// The level-1 filter, the colouring of the list and of one row, the contact and
// organisation look-ups, the change of state (read and update) and the cancellation
// (check, update and audit entry), each with the payload as the value. (An empty code means
// an operator without a salesperson, an empty folio no selection: tests of their own.)
TEST_F(Hostil, everyStatementOfTheBoardKeepsThePayloadInsideItsLiteral)
{
    const std::vector<QString> guardadas(cargas.begin(), cargas.end() - 2);
    const auto color = [](size_t numero) { return int(numero + 1) * 0x0A0B0C & 0xFFFFFF; };
    for (size_t numero = 0; numero < guardadas.size(); ++numero) {
        // A salesperson of level 1 whose code, folio, contact, organisation and state are
        // all the payload, signed in as its own operator.
        const QString carga = q(guardadas[numero]);
        base.ejecuta("INSERT INTO Operador VALUES ('OPH" + QString::number(numero) + "', 'Hostil', " + carga + ")");
        base.ejecuta(QString("INSERT INTO Estado_Oportunidad VALUES (%1, 'Hostil', '&H%2', 'NO')")
                         .arg(carga, QString::number(color(numero), 16)));
        for (const QString sentencia :
             {"INSERT INTO Vendedor VALUES (%1, 'Hostil', 1, NULL, 'AC')",
              "INSERT INTO Organizacion VALUES (%1, 'Hostil', '', '')",
              "INSERT INTO Contacto VALUES (%1, 'Hostil', %1, '', '')",
              "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, Op_Estado_Oportunidad, "
              "Es_Cve_Estado) VALUES (%1, %1, %1, %1, 'GRIS', 'AC')"})
            base.ejecuta(sentencia.arg(carga));
    }
    for (size_t numero = 0; numero < guardadas.size(); ++numero) {
        const QString &carga = guardadas[numero];
        SCOPED_TRACE(carga.left(40).toStdString());
        QMap<QString, QString> esperadas = oportunidades();
        esperadas[carga] = carga + " / CA";
        anfitrion.solicitudes.clear();
        entorno->mensajes.clear();
        abre(QString("OPH%1").arg(numero));

        ASSERT_EQ(folios(), QStringList{carga}); // its own row and nobody else's
        lista().selectItem(1);
        EXPECT_EQ(lista().cellForeColor(1, 0), 0x808080);
        pulsaBoton("imgContacto");
        pulsaBoton("imgOrganizacion");
        EXPECT_EQ(anfitrion.solicitudes,
                  (QStringList{"KLD215 ACCION=CONSULTA|DATO=" + carga, "KLD238 ACCION=CONSULTAR|DATO=" + carga}));
        Pruebas::eligeEstado(carga);
        pulsaBoton("imgEstadoOp");
        EXPECT_EQ(lista().cellForeColor(1, 0), color(numero));
        pulsaBoton("imgCancelar");
        EXPECT_EQ(entorno->identificadores(), QStringList{"ERR-ID:7500021"});
        EXPECT_EQ(oportunidades(), esperadas);
        EXPECT_EQ(base.cuenta("Bitacora", "Bi_Accion = 'Cancelación' AND Bi_Clave = " + q(carga)), 1);
        tablero.reset();
    }
    EXPECT_EQ(base.cuenta("Bitacora"), int(guardadas.size()));
}

// The code box looks the typed code up and the login checks it: a payload is nobody's code,
// and a salesperson whose code and password are the payload gets in only with both exact.
// The code box writes in capitals, as salespeople's codes are.
TEST_F(Hostil, theLoginAcceptsExactlyTheRightCodeAndPassword)
{
    // Dozens of wrong tries in a row: the brake on guessing is counted, not waited for.
    Servicios::frenoDeVendedores() = Servicios::FrenoDeIntentos([](std::chrono::milliseconds) {});
    const auto propia = [](const QString &carga) { return !carga.isEmpty() && sinNulo(carga); };
    for (const QString &carga : cargas)
        if (propia(carga)) {
            base.ejecuta(
                QString("INSERT INTO Vendedor VALUES (%1, 'Hostil', 1, NULL, 'AC')").arg(q("H" + carga.toUpper())));
            Servicios::guardaContrasenaDeVendedor(*base.conexion(), "H" + carga.toUpper(), carga);
        }
    Servicios::guardaContrasenaDeVendedor(*base.conexion(), "V1", "Secreta1");
    const auto intenta = [&](const QString &codigo, const QString &contrasena) {
        frmLogin login;
        login.load();
        login.show();
        login.txtVn_Cve_Vendedor->editor()->setFocus();
        login.txtVn_Cve_Vendedor->setTexto(codigo);
        login.txtVn_Cve_Vendedor->Valida();
        login.txtContraseña->setTexto(contrasena);
        login.txtContraseña->editor()->setFocus();
        login.cmdAceptar->click();
        return login.Aceptado;
    };
    for (const QString &carga : cargas) {
        SCOPED_TRACE(carga.left(40).toStdString());
        EXPECT_FALSE(intenta(carga, "Secreta1"));
        EXPECT_FALSE(intenta("V1", carga));
        base.ejecuta("UPDATE Vendedor_Contrasena SET Vc_Fallos = 0"); // the server's brake is tested elsewhere
        if (propia(carga)) {
            EXPECT_FALSE(intenta("H" + carga.toUpper(), carga + QLatin1Char('x')));
            EXPECT_TRUE(intenta("H" + carga.toUpper(), carga));
        }
    }
    EXPECT_TRUE(intenta("V1", "Secreta1"));
}

// Every operation of the service library that writes a value into a statement finds,
// stores and reads back exactly that value; a value the database cannot hold (NUL) is
// refused with a message and changes nothing.
TEST(ServiciosHostil, everyOperationStoresAndFindsExactlyTheValue)
{
    Servicios::estableceOperador("O'PERADOR");
    const Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Servicios::ProcesosSql procesos{entorno, funciones};
    base.ejecuta("INSERT INTO Causa_Oportunidad_Perdida VALUES (1, 'Precio', 'AC')");
    const auto operador = [&](const QString &carga) {
        return funciones.BuscaCampo("Operador", "Ope_Cve_Operador", carga, "Ope_Cve_Vendedor", 0, {}, {}, {});
    };
    for (const QString &carga : cargas) {
        SCOPED_TRACE(carga.left(40).toStdString());
        const int bitacoras = base.cuenta("Bitacora");
        // The note the user types, for an entity and key that are the payload too.
        Pruebas::alAparecer("dlgSeguimiento", [&](QWidget &dialogo) {
            dialogo.findChild<QPlainTextEdit *>("txtNota")->setPlainText(carga + ".");
            Pruebas::pulsa(dialogo, "cmdAceptar");
        });
        EXPECT_EQ(procesos.RegistraSeguimiento(carga, carga, {}, {}), sinNulo(carga))
            << procesos.UltimoError().toStdString();
        if (sinNulo(carga)) {
            const QString literal = q(carga);
            for (const char *sentencia :
                 {"DELETE FROM Variable", "DELETE FROM Consulta", "DELETE FROM Opcion_Restringida",
                  "INSERT INTO Variable VALUES (%1, %1)", "INSERT INTO Consulta VALUES (%1, 'd', %1)",
                  "INSERT INTO Opcion_Restringida VALUES ('O''PERADOR', %1, %1)",
                  "INSERT INTO Operador VALUES (%1, 'n', %1)",
                  "INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor) VALUES (%1, 'd', 'V')"})
                base.ejecuta(QString::fromUtf8(sentencia).replace("%1", literal));
            EXPECT_EQ(operador(carga), carga);
            EXPECT_EQ(funciones.VendedorDeOperador(carga), carga);
            EXPECT_EQ(funciones.LeeConsulta(carga), carga);
            EXPECT_EQ(Runtime::toTextOrEmpty(entorno.LeeVariable(carga, 0, "T", "?")), carga.isEmpty() ? "?" : carga);
            EXPECT_TRUE(entorno.OpcionRestringida(carga, carga, {}));
            EXPECT_FALSE(entorno.OpcionRestringida(carga + QLatin1Char('%'), carga, {}));
            funciones.RegistraBitacora(carga, carga, carga);
            const QString apunte = QString("Bi_Entidad = %1 AND Bi_Clave = %1 AND Bi_Accion = %1").arg(literal);
            EXPECT_EQ(base.cuenta("Bitacora", apunte), 1);
            EXPECT_TRUE(procesos.CierraOportunidad(carga, 2, "1")) << procesos.UltimoError().toStdString();
            EXPECT_EQ(base.cuenta("Cierre_Oportunidad", "Ci_Folio = " + literal), 1);
            const QString nota = QString("Sg_Entidad = %1 AND Sg_Clave = %1 AND Sg_Nota = %2")
                                     .arg(literal, q(carga + "."));
            EXPECT_EQ(base.cuenta("Seguimiento", nota), 1);
        } else {
            EXPECT_NE(Pruebas::errorDe([&] { operador(carga); }), 0);
            EXPECT_NE(Pruebas::errorDe([&] { funciones.RegistraBitacora(carga, carga, carga); }), 0);
            EXPECT_FALSE(procesos.CierraOportunidad(carga, 1, {}));
            EXPECT_FALSE(procesos.UltimoError().isEmpty());
            EXPECT_EQ(base.cuenta("Bitacora"), bitacoras);
        }
    }
    EXPECT_EQ(base.cuenta("Oportunidad"), int(cargas.size()) - 1);
}

} // namespace
