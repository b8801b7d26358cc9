#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"

#include "ado/connection.h"
#include "ado/session.h"

#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

class ProcesosSqlTest : public ::testing::Test
{
protected:
    ProcesosSqlTest() { Servicios::estableceOperador(QStringLiteral("ANA")); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
    Servicios::FuncionesSql funciones{entorno};
    Servicios::ProcesosSql procesos{entorno, funciones};
};

// ---- Follow-ups and events -------------------------------------------------------------

struct ClaseDeNota
{
    QString dialogo;
    QString titulo;
    QString tabla;
    QString columnaNota;
    QString prefijo;
    QString cancelada;
    bool (Servicios::ProcesosSql::*registra)(const QString &, const QString &, const QString &, const QString &);
};

const ClaseDeNota clasesDeNota[] = {
    {QStringLiteral("dlgSeguimiento"), QStringLiteral("Seguimiento"), QStringLiteral("Seguimiento"),
     QStringLiteral("Sg_Nota"), QStringLiteral("Sg_"),
     QStringLiteral("No se registró el seguimiento: se canceló la captura."),
     &Servicios::ProcesosSql::RegistraSeguimiento},
    {QStringLiteral("dlgEvento"), QStringLiteral("Evento"), QStringLiteral("Evento"), QStringLiteral("Ev_Descripcion"),
     QStringLiteral("Ev_"), QStringLiteral("No se registró el evento: se canceló la captura."),
     &Servicios::ProcesosSql::RegistraEvento},
};

void escribeNota(QWidget &dialogo, const QString &nota)
{
    auto *caja = dialogo.findChild<QPlainTextEdit *>(QStringLiteral("txtNota"));
    ASSERT_NE(caja, nullptr);
    caja->setPlainText(nota);
}

TEST_F(ProcesosSqlTest, unaNotaSeAceptaSoloConTextoYSeGuardaConElOperadorYLaFecha)
{
    for (const ClaseDeNota &clase : clasesDeNota) {
        SCOPED_TRACE(clase.tabla.toStdString());
        Pruebas::alAparecer(clase.dialogo, [&](QWidget &dialogo) {
            EXPECT_EQ(dialogo.windowTitle(), clase.titulo);
            escribeNota(dialogo, QStringLiteral("   \n  "));
            Pruebas::pulsa(dialogo, QStringLiteral("cmdAceptar"));
            EXPECT_TRUE(dialogo.isVisible()) << "a blank note was accepted";
            EXPECT_TRUE(dialogo.findChild<QLabel *>(QStringLiteral("lbAviso"))->isVisible());
            EXPECT_EQ(dialogo.findChild<QLabel *>(QStringLiteral("lbEntidad"))->text(), QStringLiteral("OPORTUNIDAD"));
            EXPECT_EQ(dialogo.findChild<QLabel *>(QStringLiteral("lbClave"))->text(), QStringLiteral("F-'1"));
            escribeNota(dialogo, QStringLiteral("Llamó el cliente; pide \"descuento\" y O'Brien confirma"));
            Pruebas::pulsa(dialogo, QStringLiteral("cmdAceptar"));
        });

        EXPECT_TRUE((procesos.*clase.registra)(QStringLiteral("OPORTUNIDAD"), QStringLiteral("F-'1"), {}, {}));

        const QString filtro = clase.prefijo + QStringLiteral("Entidad = 'OPORTUNIDAD' AND ") + clase.prefijo
                               + QStringLiteral("Clave = 'F-''1' AND ") + clase.prefijo
                               + QStringLiteral("Operador = 'ANA'");
        EXPECT_EQ(base.cuenta(clase.tabla, filtro), 1);
        EXPECT_EQ(base.valor(QStringLiteral("SELECT ") + clase.columnaNota + QStringLiteral(" FROM ") + clase.tabla),
                  QStringLiteral("Llamó el cliente; pide \"descuento\" y O'Brien confirma"));
        EXPECT_FALSE(base.valor(QStringLiteral("SELECT ") + clase.prefijo + QStringLiteral("Fecha FROM ") + clase.tabla)
                         .isEmpty());
        EXPECT_EQ(procesos.UltimoError(), QString());
    }
}

TEST_F(ProcesosSqlTest, cancelarUnaNotaNoGuardaNadaYDicePorQue)
{
    for (const ClaseDeNota &clase : clasesDeNota) {
        SCOPED_TRACE(clase.tabla.toStdString());
        Pruebas::alAparecer(clase.dialogo, [](QWidget &dialogo) {
            escribeNota(dialogo, QStringLiteral("No debe quedar"));
            Pruebas::pulsa(dialogo, QStringLiteral("cmdCancelar"));
        });

        EXPECT_FALSE((procesos.*clase.registra)(QStringLiteral("OPORTUNIDAD"), QStringLiteral("F-1"), {}, {}));

        EXPECT_EQ(procesos.UltimoError(), clase.cancelada);
        EXPECT_EQ(base.cuenta(clase.tabla), 0);
    }
}

TEST_F(ProcesosSqlTest, unaFallaDeLaBaseAlGuardarLaNotaDevuelveFalsoConSuMensaje)
{
    for (const ClaseDeNota &clase : clasesDeNota) {
        SCOPED_TRACE(clase.tabla.toStdString());
        base.ejecuta(QStringLiteral("DROP TABLE ") + clase.tabla);
        Pruebas::alAparecer(clase.dialogo, [](QWidget &dialogo) {
            escribeNota(dialogo, QStringLiteral("Sin tabla"));
            Pruebas::pulsa(dialogo, QStringLiteral("cmdAceptar"));
        });

        EXPECT_FALSE((procesos.*clase.registra)(QStringLiteral("OPORTUNIDAD"), QStringLiteral("F-1"), {}, {}));

        EXPECT_TRUE(procesos.UltimoError().contains(clase.tabla, Qt::CaseInsensitive))
            << procesos.UltimoError().toStdString();
    }
}

// ---- Closing an opportunity ------------------------------------------------------------

class CierreOportunidadTest : public ProcesosSqlTest
{
protected:
    CierreOportunidadTest()
    {
        base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, Es_Cve_Estado)"
                                    " VALUES ('F-1', 'Abierta', 'V1', 'AC'), ('F-2', 'Cancelada', 'V1', 'CA'),"
                                    " ('F-3', 'Cerrada', 'V1', 'AC'), ('F''4', 'Con comilla', 'V1', 'AC')"));
        base.ejecuta(QStringLiteral("INSERT INTO Cierre_Oportunidad (Ci_Folio, Ci_Resultado, Ci_Operador)"
                                    " VALUES ('F-3', 1, 'LUIS')"));
        base.ejecuta(QStringLiteral("INSERT INTO Causa_Oportunidad_Perdida (Cop_Cve_Causa_Oportunidad_Perdida,"
                                    " Cop_Descripcion, Es_Cve_Estado) VALUES (1, 'Precio', 'AC'), (2, 'Vieja', 'BA')"));
    }

    // Nothing of a refused closing may remain: no closing, no audit entry, the row untouched.
    void esperaQueNadaCambio(const QString &folio) const
    {
        const QString clave = QString(folio).replace(QLatin1Char('\''), QStringLiteral("''"));
        EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad"), QStringLiteral("Ci_Folio <> 'F-3'")), 0);
        EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), 0);
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Ult_Modif FROM Oportunidad WHERE Op_Folio = '") + clave
                             + QStringLiteral("'")),
                  QString());
        EXPECT_FALSE(base.conexion()->inTransaction());
    }
};

TEST_F(CierreOportunidadTest, cerrarGanadaOPerdidaGuardaElCierreYLaBitacora)
{
    struct Caso
    {
        QString folio;
        qint32 resultado;
        QString causa;
        QString causaGuardada;
        QString accion;
    };
    const Caso casos[] = {
        {QStringLiteral("F-1"), 1, QString(), QString(), QStringLiteral("Ganada")},
        {QStringLiteral("F'4"), 2, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("Perdida")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.folio.toStdString());
        const QString clave = QString(caso.folio).replace(QLatin1Char('\''), QStringLiteral("''"));

        ASSERT_TRUE(procesos.CierraOportunidad(caso.folio, caso.resultado, caso.causa))
            << procesos.UltimoError().toStdString();

        const QString cierre = QStringLiteral(" FROM Cierre_Oportunidad WHERE Ci_Folio = '") + clave
                               + QStringLiteral("'");
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Resultado") + cierre), QString::number(caso.resultado));
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Cve_Causa") + cierre), caso.causaGuardada);
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Operador") + cierre), QStringLiteral("ANA"));
        EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora"), QStringLiteral("Bi_Entidad = 'OPORTUNIDAD' AND Bi_Clave = '")
                                                              + clave + QStringLiteral("' AND Bi_Accion = '")
                                                              + caso.accion
                                                              + QStringLiteral("' AND Bi_Operador = 'ANA'")),
                  1);
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Ult_Modif FROM Oportunidad WHERE Op_Folio = '") + clave
                             + QStringLiteral("'")),
                  QStringLiteral("ANA"));
        EXPECT_FALSE(base.conexion()->inTransaction());
        EXPECT_EQ(procesos.UltimoError(), QString());
    }
}

TEST_F(CierreOportunidadTest, unCierreImposibleNoDejaNadaYDiceElMotivo)
{
    struct Caso
    {
        QString folio;
        qint32 resultado;
        QString causa;
        QString motivo;
    };
    const Caso casos[] = {
        {QStringLiteral("F-9"), 1, QString(), QStringLiteral("No existe la oportunidad F-9")},
        {QStringLiteral("F-2"), 1, QString(), QStringLiteral("La oportunidad F-2 está cancelada")},
        {QStringLiteral("F-3"), 2, QStringLiteral("1"), QStringLiteral("La oportunidad F-3 ya fue cerrada")},
        {QStringLiteral("F-1"), 2, QStringLiteral("2"), QStringLiteral("La causa 2 no existe o está dada de baja")},
        {QStringLiteral("F-1"), 2, QStringLiteral("99"), QStringLiteral("La causa 99 no existe o está dada de baja")},
        {QStringLiteral("F-1"), 2, QStringLiteral("1' OR '1'='1"),
         QStringLiteral("La causa 1' OR '1'='1 no existe o está dada de baja")},
        {QStringLiteral("F-1"), 2, QString(), QStringLiteral("Falta la causa de la pérdida de la oportunidad F-1")},
        {QStringLiteral("F-1"), 1, QStringLiteral("1"),
         QStringLiteral("La oportunidad F-1 no puede cerrarse como ganada con una causa de pérdida")},
        {QStringLiteral("F-1"), 3, QString(),
         QStringLiteral("El resultado 3 no es válido para cerrar la oportunidad F-1 (1 ganada, 2 perdida)")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE((caso.folio + QLatin1Char('/') + caso.causa).toStdString());

        EXPECT_FALSE(procesos.CierraOportunidad(caso.folio, caso.resultado, caso.causa));

        EXPECT_EQ(procesos.UltimoError(), caso.motivo);
        esperaQueNadaCambio(caso.folio);
    }
}

TEST_F(CierreOportunidadTest, unaFallaDeLaBaseAMitadDelCierreLoDeshaceTodo)
{
    // The audit entry is the last write; without its table the closing cannot complete.
    base.ejecuta(QStringLiteral("DROP TABLE Bitacora"));

    EXPECT_FALSE(procesos.CierraOportunidad(QStringLiteral("F-1"), 1, QString()));

    EXPECT_TRUE(procesos.UltimoError().contains(QStringLiteral("bitacora"), Qt::CaseInsensitive))
        << procesos.UltimoError().toStdString();
    EXPECT_EQ(base.cuenta(QStringLiteral("Cierre_Oportunidad"), QStringLiteral("Ci_Folio = 'F-1'")), 0);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Ult_Modif FROM Oportunidad WHERE Op_Folio = 'F-1'")), QString());
    EXPECT_FALSE(base.conexion()->inTransaction());
}

// Another desktop is closing F-1 and holds its row; this one waits for it and then finds
// the opportunity closed, instead of closing it a second time.
TEST_F(CierreOportunidadTest, dosUsuariosCierranLaMismaOportunidadYSoloGanaElPrimero)
{
    if (Pruebas::motor() != Ado::Engine::PostgreSQL)
        GTEST_SKIP() << "row locks between desktops need the shared server";
    const Ado::DatabaseAddress direccion = base.direccion();
    std::promise<void> filaTomada;
    std::thread otroEscritorio([&direccion, &filaTomada] {
        Ado::Connection otra(direccion);
        Ado::Connection observador(direccion);
        otra.BeginTrans();
        otra.Execute(QStringLiteral("UPDATE Oportunidad SET Oper_Ult_Modif = 'LUIS' WHERE Op_Folio = 'F-1'"));
        otra.Execute(QStringLiteral("INSERT INTO Cierre_Oportunidad (Ci_Folio, Ci_Resultado, Ci_Operador)"
                                    " VALUES ('F-1', 1, 'LUIS')"));
        filaTomada.set_value();
        // Commit once the other closer is waiting for the row (or after a generous while,
        // should it never wait; the outcome checked below is the same either way).
        for (int vuelta = 0; vuelta < 1000; ++vuelta) {
            const Ado::Recordset esperando = observador.Execute(
                QStringLiteral("SELECT 1 FROM pg_locks WHERE NOT granted AND locktype = 'transactionid'"));
            if (!esperando.atEnd())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        otra.CommitTrans();
    });
    filaTomada.get_future().wait();

    const bool cerrada = procesos.CierraOportunidad(QStringLiteral("F-1"), 2, QStringLiteral("1"));
    otroEscritorio.join();

    EXPECT_FALSE(cerrada);
    EXPECT_EQ(procesos.UltimoError(), QStringLiteral("La oportunidad F-1 ya fue cerrada"));
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Ci_Operador FROM Cierre_Oportunidad WHERE Ci_Folio = 'F-1'")),
              QStringLiteral("LUIS"));
    EXPECT_EQ(base.cuenta(QStringLiteral("Bitacora")), 0);
    EXPECT_EQ(base.valor(QStringLiteral("SELECT Oper_Ult_Modif FROM Oportunidad WHERE Op_Folio = 'F-1'")),
              QStringLiteral("LUIS"));
}

} // namespace
