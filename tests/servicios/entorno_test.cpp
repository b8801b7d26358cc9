#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"

#include "runtime/conversions.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

namespace Estilo = Servicios::Estilo;
namespace Respuesta = Servicios::Respuesta;

class EntornoSql : public ::testing::Test
{
protected:
    EntornoSql() { Servicios::estableceOperador("ANA"); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
};

TEST_F(EntornoSql, aVariableIsReadAsItsTypeOrTheDefaultWhenItHasNoValue)
{
    base.ejecuta("INSERT INTO Variable (Va_Nombre, Va_Valor) VALUES ('ENTERO', '15'), ('DECIMAL', '2.5'),"
                 " ('HEX', '&HFF'), ('VACIA', ''), ('NULA', NULL), ('TEXTO', 'abc'), ('CEROS', '007')");
    // The name and the type asked for ("-": none), then the type and value read with 30 for
    // default; HEX's is left to the caller's conversion, which reads it.
    for (const QString caso :
         {"ENTERO N qlonglong 15", "ENTERO T QString 15", "ENTERO - QString 15", "CEROS N qlonglong 7",
          "DECIMAL N double 2.5", "HEX N QString &HFF", "TEXTO N QString abc", "VACIA N int 30", "NULA - int 30",
          "FALTA N int 30", "O'Brien T int 30"}) {
        const QStringList partes = caso.split(' ');
        const QVariant valor = entorno.LeeVariable(partes[0], 0, partes[1] == u"-" ? "" : partes[1], 30);
        EXPECT_EQ(valor.typeName() + (' ' + valor.toString()), caso.section(' ', 2));
    }
    EXPECT_EQ(Runtime::toInteger32(entorno.LeeVariable("HEX", 0, "N", 0)), 255);
}

TEST_F(EntornoSql, anOptionIsRestrictedOnlyForTheOperatorModuleAndOptionRecorded)
{
    base.ejecuta("INSERT INTO Opcion_Restringida (Or_Cve_Operador, Or_Modulo, Or_Opcion)"
                 " VALUES ('ANA', 'KLD251', 'TOOLB2'), ('O''Neil', 'KLD251', 'KLD251')");
    // Operator, module, option, and 1 when it is restricted.
    for (const QString caso : {"ANA KLD251 TOOLB2 1", "ANA KLD251 KLD251 0", "PEPE KLD251 TOOLB2 0",
                               "O'Neil KLD251 KLD251 1", "O'Neil KLD999 KLD251 0"}) {
        const QStringList partes = caso.split(' ');
        Servicios::estableceOperador(partes[0]);
        EXPECT_EQ(entorno.OpcionRestringida(partes[1], partes[2], "No disponible"), partes[3] == u"1")
            << caso.toStdString();
    }
}

// The box answers the classic code of the button pressed; its buttons, default button and
// icon follow the style; its texts are Spanish and plain; it is modal to its owner's window.
TEST_F(EntornoSql, theMessageBoxAnswersTheButtonPressedAndMarksTheDefaultByStyle)
{
    QWidget formulario;
    formulario.show();
    constexpr int AceptarCancelar = 1, SiNoCancelar = 3, ReintentarCancelar = 5, TercerBotonPredeterminado = 512;
    // The style; the buttons, the default one first and the others in alphabetical order; the
    // one pressed; the answer; the icon.
    const std::tuple<qint32, const char *, QString, qint32, QMessageBox::Icon> casos[] = {
        {Estilo::SiNo | Estilo::Pregunta, "Sí No", "Sí", Respuesta::Si, QMessageBox::Question},
        {Estilo::SiNo | Estilo::Pregunta | Estilo::SegundoBotonPredeterminado, "No Sí", "No", Respuesta::No,
         QMessageBox::Question},
        {Estilo::SiNo | Estilo::Informacion | Estilo::SegundoBotonPredeterminado, "No Sí", "Sí", Respuesta::Si,
         QMessageBox::Information},
        {Estilo::Exclamacion, "Aceptar", "Aceptar", Respuesta::Aceptar, QMessageBox::Warning},
        {Estilo::Critico | AceptarCancelar, "Aceptar Cancelar", "Cancelar", 2, QMessageBox::Critical},
        {SiNoCancelar | TercerBotonPredeterminado, "Cancelar No Sí", "No", Respuesta::No, QMessageBox::NoIcon},
        {ReintentarCancelar, "Reintentar Cancelar", "Reintentar", 4, QMessageBox::NoIcon}};
    for (const auto &[estilo, botones, pulsar, respuesta, icono] : casos) {
        SCOPED_TRACE(estilo);
        QStringList vistos;
        Pruebas::alAparecer("Mensaje", [&, pulsar = pulsar](QWidget &ventana) {
            auto &caja = static_cast<QMessageBox &>(ventana);
            QAbstractButton *pulsado = nullptr;
            for (QAbstractButton *boton : caja.buttons()) {
                if (boton != caja.defaultButton())
                    vistos << boton->text();
                pulsado = boton->text() == pulsar ? boton : pulsado;
            }
            vistos.sort();
            vistos.prepend(caja.defaultButton() ? caja.defaultButton()->text() : "ninguno");
            EXPECT_EQ(std::tuple(caja.icon(), caja.textFormat(), caja.parentWidget(), caja.windowModality()),
                      std::tuple(icono, Qt::PlainText, &formulario, Qt::WindowModal));
            EXPECT_EQ(caja.windowTitle() + '|' + caja.text(), "Confirmación|¿Cancelar la oportunidad <F-1>?");
            EXPECT_TRUE(caja.informativeText().contains("KLD251 · ERR-ID:7500021"));
            EXPECT_NE(pulsado, nullptr);
            (pulsado ? pulsado : caja.buttons().constFirst())->click();
        });

        EXPECT_EQ(entorno.Mensaje("¿Cancelar la oportunidad <F-1>?", estilo, "Confirmación", &formulario, "KLD251",
                                  "ERR-ID:7500021"),
                  respuesta);
        EXPECT_EQ(vistos.join(' '), botones);
    }
}

TEST_F(EntornoSql, theFactoryGivesTheSqlImplementationsAndTheNoteDialogAndIsRestored)
{
    Servicios::Fabrica::actual().nuevoEntorno = [] { return std::unique_ptr<Servicios::Entorno>(); };
    Servicios::Fabrica::actual().capturaDeNota = nullptr;
    Servicios::Fabrica::restablece();

    auto entornoNuevo = Servicios::Fabrica::actual().nuevoEntorno();
    auto funciones = Servicios::Fabrica::actual().nuevasFunciones(*entornoNuevo);
    auto procesos = Servicios::Fabrica::actual().nuevosProcesos(*entornoNuevo, *funciones);
    EXPECT_TRUE(dynamic_cast<Servicios::EntornoSql *>(entornoNuevo.get())
                && dynamic_cast<Servicios::FuncionesSql *>(funciones.get())
                && dynamic_cast<Servicios::ProcesosSql *>(procesos.get())
                && Servicios::Fabrica::actual().capturaDeNota);
    EXPECT_EQ(std::pair(entornoNuevo->Operador(), entornoNuevo->Conexion()),
              std::pair(QString("ANA"), base.conexion()));
}

} // namespace
