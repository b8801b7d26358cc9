// Hostile values at every place the module writes a value into a statement: each stays
// inside its literal, only the intended row changes, and the login accepts nobody it
// should not.
#include "cargas.h"
#include "tablero.h"

#include "ado/connection.h"
#include "ado/recordset.h"
#include "ado/sqltext.h"
#include "controles/flatbutton.h"
#include "controles/txtzel.h"
#include "frmLogin.h"
#include "respuestas.h"
#include "runtime/conversions.h"
#include "servicios/cifrado.h"
#include "servicios/entornosql.h"
#include "servicios/frenodeintentos.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"

#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace {

using Pruebas::muestra;

const auto q = Ado::literal;

class Hostil : public Pruebas::TableroDePrueba
{
protected:
    // Every opportunity as "state / record status", by folio: what must not change
    // except where an action was meant to.
    QMap<QString, QString> oportunidades() const
    {
        QMap<QString, QString> filas;
        Ado::Recordset datos = base.conexion()->Execute(
            QStringLiteral("SELECT Op_Folio, Op_Estado_Oportunidad, Es_Cve_Estado FROM Oportunidad"));
        for (; !datos.atEnd(); datos.moveNext()) {
            filas.insert(Runtime::toTextOrEmpty(datos.field(0)), Runtime::toTextOrEmpty(datos.field(1))
                                                                     + QStringLiteral(" / ")
                                                                     + Runtime::toTextOrEmpty(datos.field(2)));
        }
        return filas;
    }

    QStringList columna(const QString &consulta) const
    {
        QStringList valores;
        for (Ado::Recordset datos = base.conexion()->Execute(consulta); !datos.atEnd(); datos.moveNext())
            valores << Runtime::toTextOrEmpty(datos.field(0));
        return valores;
    }

    void pulsaBoton(const char *nombre) const { tablero->findChild<QToolButton *>(QString::fromUtf8(nombre))->click(); }

    // A salesperson of level 1 whose code, folio, contact, organisation and state are all
    // the payload, signed in as operator `operador`.
    void siembra(const QString &carga, const QString &operador, int numero) const
    {
        const QString color = QStringLiteral("&H%1").arg((numero + 1) * 0x0A0B0C & 0xFFFFFF, 0, 16);
        base.ejecuta(QStringLiteral("INSERT INTO Vendedor VALUES (%1, 'Hostil', 1, NULL, 'AC')").arg(q(carga)));
        base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES ('%1', 'Hostil', %2)").arg(operador, q(carga)));
        base.ejecuta(
            QStringLiteral("INSERT INTO Estado_Oportunidad VALUES (%1, 'Hostil', '%2', 'NO')").arg(q(carga), color));
        base.ejecuta(QStringLiteral("INSERT INTO Organizacion VALUES (%1, 'Hostil', '', '')").arg(q(carga)));
        base.ejecuta(QStringLiteral("INSERT INTO Contacto VALUES (%1, 'Hostil', %1, '', '')").arg(q(carga)));
        base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Op_Contacto, "
                                    "Op_Estado_Oportunidad, Es_Cve_Estado) VALUES (%1, %1, %1, %1, 'GRIS', 'AC')")
                         .arg(q(carga)));
    }
};

// The level-1 filter, the colouring of the list and of one row, the contact and
// organisation look-ups, the change of state (read and update) and the cancellation
// (check, update and audit entry), each with the payload as the value.
TEST_F(Hostil, everyStatementOfTheBoardKeepsThePayloadInsideItsLiteral)
{
    // Empty text is left out here: an empty code means an operator without a salesperson,
    // and an empty folio no selection, each with tests of its own.
    std::vector<QString> cargas = Pruebas::cargasGuardables();
    std::erase_if(cargas, [](const QString &carga) { return carga.isEmpty(); });
    for (size_t numero = 0; numero < cargas.size(); ++numero)
        siembra(cargas[numero], QStringLiteral("OPH%1").arg(numero), int(numero));

    for (size_t numero = 0; numero < cargas.size(); ++numero) {
        const QString &carga = cargas[numero];
        SCOPED_TRACE(muestra(carga));
        const QMap<QString, QString> antes = oportunidades();
        anfitrion.solicitudes.clear();
        entorno->mensajes.clear();
        abre(QStringLiteral("OPH%1").arg(numero));

        ASSERT_EQ(folios(), QStringList{carga}); // its own row and nobody else's
        lista().selectItem(1);
        EXPECT_EQ(lista().cellForeColor(1, 0), 0x808080);

        pulsaBoton("imgContacto");
        pulsaBoton("imgOrganizacion");
        EXPECT_EQ(anfitrion.solicitudes, (QStringList{QStringLiteral("KLD215 ACCION=CONSULTA|DATO=") + carga,
                                                      QStringLiteral("KLD238 ACCION=CONSULTAR|DATO=") + carga}));

        Pruebas::eligeEstado(carga);
        pulsaBoton("imgEstadoOp");
        const qint32 color = ((int(numero) + 1) * 0x0A0B0C) & 0xFFFFFF;
        EXPECT_EQ(lista().cellForeColor(1, 0), color);

        pulsaBoton("imgCancelar");
        EXPECT_EQ(entorno->identificadores(), QStringList{QStringLiteral("ERR-ID:7500021")});

        QMap<QString, QString> esperadas = antes;
        esperadas[carga] = carga + QStringLiteral(" / CA");
        EXPECT_EQ(oportunidades(), esperadas);
        EXPECT_EQ(columna(QStringLiteral("SELECT Bi_Clave FROM Bitacora WHERE Bi_Accion = 'Cancelación'")).count(carga),
                  1);
        tablero.reset();
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), int(cargas.size()));
}

// The code box looks the typed code up and the login checks it: a payload is nobody's code,
// and a salesperson whose code and password are the payload gets in only with both exact.
// The code box writes in capitals, as salespeople's codes are.
TEST_F(Hostil, theLoginAcceptsExactlyTheRightCodeAndPassword)
{
    // Dozens of wrong tries in a row: the brake on guessing is counted, not waited for.
    Servicios::frenoDeVendedores() = Servicios::FrenoDeIntentos([](std::chrono::milliseconds) {});
    const std::vector<QString> cargas = Pruebas::cargasTecleables();
    for (const QString &carga : Pruebas::cargasGuardables()) {
        if (!carga.isEmpty())
            base.ejecuta(QStringLiteral("INSERT INTO Vendedor VALUES (%1, 'Hostil', 1, %2, 'AC')")
                             .arg(q(QStringLiteral("H") + carga.toUpper()), q(Servicios::Cifrado::Cifra(carga))));
    }
    base.ejecuta(QStringLiteral("UPDATE Vendedor SET Vn_Password = %1 WHERE Vn_Cve_Vendedor = 'V1'")
                     .arg(q(Servicios::Cifrado::Cifra(QStringLiteral("Secreta1")))));
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
        SCOPED_TRACE(muestra(carga));
        EXPECT_FALSE(intenta(carga, QStringLiteral("Secreta1")));
        EXPECT_FALSE(intenta(QStringLiteral("V1"), carga));
        if (!carga.isEmpty() && !carga.contains(QChar(u'\0'))) {
            EXPECT_FALSE(intenta(QStringLiteral("H") + carga.toUpper(), carga + QLatin1Char('x')));
            EXPECT_TRUE(intenta(QStringLiteral("H") + carga.toUpper(), carga));
        }
    }
    EXPECT_TRUE(intenta(QStringLiteral("V1"), QStringLiteral("Secreta1")));
}

class ServiciosHostil : public testing::Test
{
protected:
    ServiciosHostil() { Servicios::estableceOperador(QStringLiteral("O'PERADOR")); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Servicios::ProcesosSql procesos{entorno, funciones};
};

// Every operation of the service library that writes a value into a statement finds,
// stores and reads back exactly that value; a value the database cannot hold (NUL) is
// refused with a message and changes nothing.
TEST_F(ServiciosHostil, everyOperationStoresAndFindsExactlyTheValue)
{
    base.ejecuta(QStringLiteral("INSERT INTO Causa_Oportunidad_Perdida VALUES (1, 'Precio', 'AC')"));
    for (const QString &carga : Pruebas::cargasTecleables()) {
        SCOPED_TRACE(muestra(carga));
        const bool guardable = !carga.contains(QChar(u'\0'));
        const int bitacoras = base.cuenta(QStringLiteral("Bitacora"));
        if (guardable) {
            base.ejecuta(QStringLiteral("DELETE FROM Variable"));
            base.ejecuta(QStringLiteral("DELETE FROM Consulta"));
            base.ejecuta(QStringLiteral("DELETE FROM Opcion_Restringida"));
            base.ejecuta(QStringLiteral("INSERT INTO Variable VALUES (%1, %1)").arg(q(carga)));
            base.ejecuta(QStringLiteral("INSERT INTO Consulta VALUES (%1, 'd', %1)").arg(q(carga)));
            base.ejecuta(QStringLiteral("INSERT INTO Opcion_Restringida VALUES ('O''PERADOR', %1, %1)").arg(q(carga)));
            base.ejecuta(QStringLiteral("INSERT INTO Operador VALUES (%1, 'n', %1)").arg(q(carga)));
            base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor) "
                                        "VALUES (%1, 'd', 'V')")
                             .arg(q(carga)));

            EXPECT_EQ(funciones.BuscaCampo(QStringLiteral("Operador"), QStringLiteral("Ope_Cve_Operador"), carga,
                                           QStringLiteral("Ope_Cve_Vendedor"), 0, {}, {}, {}),
                      carga);
            EXPECT_EQ(funciones.VendedorDeOperador(carga), carga);
            EXPECT_EQ(funciones.LeeConsulta(carga), carga);
            EXPECT_EQ(Runtime::toTextOrEmpty(entorno.LeeVariable(carga, 0, QStringLiteral("T"), QStringLiteral("?"))),
                      carga.isEmpty() ? QStringLiteral("?") : carga);
            EXPECT_TRUE(entorno.OpcionRestringida(carga, carga, {}));
            EXPECT_FALSE(entorno.OpcionRestringida(carga + QLatin1Char('%'), carga, {}));
            funciones.RegistraBitacora(carga, carga, carga);
            EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora"),
                                  QStringLiteral("Bi_Entidad = %1 AND Bi_Clave = %1 AND Bi_Accion = %1").arg(q(carga))),
                      1);
            EXPECT_TRUE(procesos.CierraOportunidad(carga, 2, QStringLiteral("1")))
                << procesos.UltimoError().toStdString();
            EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad"), QStringLiteral("Ci_Folio = %1").arg(q(carga))),
                      1);
        } else {
            EXPECT_ANY_THROW(funciones.BuscaCampo(QStringLiteral("Operador"), QStringLiteral("Ope_Cve_Operador"), carga,
                                                  QStringLiteral("Ope_Cve_Vendedor"), 0, {}, {}, {}));
            EXPECT_ANY_THROW(funciones.RegistraBitacora(carga, carga, carga));
            EXPECT_FALSE(procesos.CierraOportunidad(carga, 1, {}));
            EXPECT_FALSE(procesos.UltimoError().isEmpty());
            EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), bitacoras);
        }

        // The note the user types, for an entity and key that are the payload too.
        Pruebas::alAparecer(QStringLiteral("dlgSeguimiento"), [&](QWidget &dialogo) {
            dialogo.findChild<QPlainTextEdit *>(QStringLiteral("txtNota"))->setPlainText(carga + QStringLiteral("."));
            Pruebas::pulsa(dialogo, QStringLiteral("cmdAceptar"));
        });
        const bool guardado = procesos.RegistraSeguimiento(carga, carga, {}, {});
        EXPECT_EQ(guardado, guardable) << procesos.UltimoError().toStdString();
        if (guardable) {
            EXPECT_EQ(base.cuenta(QStringLiteral("Seguimiento"),
                                  QStringLiteral("Sg_Entidad = %1 AND Sg_Clave = %1 AND Sg_Nota = %2")
                                      .arg(q(carga), q(carga + QStringLiteral(".")))),
                      1);
        }
    }
    EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad")), int(Pruebas::cargasGuardables().size()));
}

} // namespace
