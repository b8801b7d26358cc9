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
    EntornoSql() { Servicios::estableceOperador(QStringLiteral("ANA")); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
};

TEST_F(EntornoSql, aVariableIsReadAsItsTypeOrTheDefaultWhenItHasNoValue)
{
    base.ejecuta(
        QStringLiteral("INSERT INTO Variable (Va_Nombre, Va_Valor) VALUES ('ENTERO', '15'), ('DECIMAL', '2.5'),"
                       " ('HEX', '&HFF'), ('VACIA', ''), ('NULA', NULL), ('TEXTO', 'abc'), ('CEROS', '007')"));
    const struct
    {
        const char *nombre;
        const char *tipo;
        QVariant predeterminado;
        QVariant esperado;
    } casos[] = {
        {"ENTERO", "N", 30, qlonglong(15)},
        {"ENTERO", "T", 30, QStringLiteral("15")},
        {"ENTERO", "", 30, QStringLiteral("15")},
        {"CEROS", "N", 30, qlonglong(7)},
        {"DECIMAL", "N", 30, 2.5},
        {"HEX", "N", 30, QStringLiteral("&HFF")}, // left to the caller's conversion, which reads it
        {"TEXTO", "N", 30, QStringLiteral("abc")},
        {"VACIA", "N", 30, 30},
        {"NULA", "", QStringLiteral("x"), QStringLiteral("x")},
        {"FALTA", "N", 30, 30},
        {"O'Brien", "T", QStringLiteral("d"), QStringLiteral("d")},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(std::string(caso.nombre) + "/" + caso.tipo);
        const QVariant valor = entorno.LeeVariable(QString::fromUtf8(caso.nombre), 0, QString::fromUtf8(caso.tipo),
                                                   caso.predeterminado);
        EXPECT_EQ(valor.metaType(), caso.esperado.metaType());
        EXPECT_EQ(valor, caso.esperado);
    }
    EXPECT_EQ(Runtime::toInteger32(entorno.LeeVariable(QStringLiteral("HEX"), 0, QStringLiteral("N"), 0)), 255);
}

TEST_F(EntornoSql, anOptionIsRestrictedOnlyForTheOperatorModuleAndOptionRecorded)
{
    base.ejecuta(QStringLiteral("INSERT INTO Opcion_Restringida (Or_Cve_Operador, Or_Modulo, Or_Opcion)"
                                " VALUES ('ANA', 'KLD251', 'TOOLB2'), ('O''Neil', 'KLD251', 'KLD251')"));
    const struct
    {
        const char *operador;
        const char *modulo;
        const char *opcion;
        bool restringida;
    } casos[] = {{"ANA", "KLD251", "TOOLB2", true},
                 {"ANA", "KLD251", "KLD251", false},
                 {"PEPE", "KLD251", "TOOLB2", false},
                 {"O'Neil", "KLD251", "KLD251", true},
                 {"O'Neil", "KLD999", "KLD251", false}};
    for (const auto &caso : casos) {
        SCOPED_TRACE(std::string(caso.operador) + "/" + caso.modulo + "/" + caso.opcion);
        Servicios::estableceOperador(QString::fromUtf8(caso.operador));
        EXPECT_EQ(entorno.OpcionRestringida(QString::fromUtf8(caso.modulo), QString::fromUtf8(caso.opcion),
                                            QStringLiteral("No disponible")),
                  caso.restringida);
    }
}

// The box answers the classic code of the button pressed; its buttons, default button and
// icon follow the style; its texts are Spanish and plain; it is modal to its owner's window.
TEST_F(EntornoSql, theMessageBoxAnswersTheButtonPressedAndMarksTheDefaultByStyle)
{
    QWidget formulario;
    formulario.show();
    constexpr int AceptarCancelar = 1, SiNoCancelar = 3, ReintentarCancelar = 5, TercerBotonPredeterminado = 512;
    const struct
    {
        qint32 estilo;
        const char *botones; // the default one first, then the others in alphabetical order
        const char *pulsar;
        qint32 respuesta;
        QMessageBox::Icon icono;
    } casos[] = {
        {Estilo::SiNo | Estilo::Pregunta, "cmdSi cmdNo", "cmdSi", Respuesta::Si, QMessageBox::Question},
        {Estilo::SiNo | Estilo::Pregunta | Estilo::SegundoBotonPredeterminado, "cmdNo cmdSi", "cmdNo", Respuesta::No,
         QMessageBox::Question},
        {Estilo::SiNo | Estilo::Informacion | Estilo::SegundoBotonPredeterminado, "cmdNo cmdSi", "cmdSi", Respuesta::Si,
         QMessageBox::Information},
        {Estilo::Exclamacion, "cmdAceptar", "cmdAceptar", Respuesta::Aceptar, QMessageBox::Warning},
        {Estilo::Critico | AceptarCancelar, "cmdAceptar cmdCancelar", "cmdCancelar", 2, QMessageBox::Critical},
        {SiNoCancelar | TercerBotonPredeterminado, "cmdCancelar cmdNo cmdSi", "cmdNo", Respuesta::No,
         QMessageBox::NoIcon},
        {ReintentarCancelar, "cmdReintentar cmdCancelar", "cmdReintentar", 4, QMessageBox::NoIcon},
    };
    for (const auto &caso : casos) {
        SCOPED_TRACE(caso.estilo);
        QStringList botones;
        Pruebas::alAparecer(QStringLiteral("Mensaje"), [&](QWidget &ventana) {
            auto *vista = qobject_cast<QMessageBox *>(&ventana);
            ASSERT_NE(vista, nullptr);
            for (QAbstractButton *boton : vista->buttons()) {
                if (boton != vista->defaultButton())
                    botones << boton->objectName();
                // Each button's name says its Spanish caption: cmdSi "Sí", cmdCancelar "Cancelar".
                EXPECT_EQ(boton->text(),
                          boton->objectName().mid(3).replace(QStringLiteral("Si"), QStringLiteral("Sí")));
            }
            botones.sort();
            botones.prepend(vista->defaultButton() ? vista->defaultButton()->objectName() : QStringLiteral("ninguno"));
            EXPECT_EQ(vista->windowTitle(), QStringLiteral("Confirmación"));
            EXPECT_EQ(vista->text(), QStringLiteral("¿Cancelar la oportunidad <F-1>?"));
            EXPECT_TRUE(vista->informativeText().contains(QStringLiteral("KLD251")));
            EXPECT_TRUE(vista->informativeText().contains(QStringLiteral("ERR-ID:7500021")));
            EXPECT_EQ(vista->textFormat(), Qt::PlainText);
            EXPECT_EQ(vista->icon(), caso.icono);
            EXPECT_EQ(vista->parentWidget(), &formulario);
            EXPECT_EQ(vista->windowModality(), Qt::WindowModal);
            Pruebas::pulsa(ventana, QString::fromUtf8(caso.pulsar));
        });

        EXPECT_EQ(entorno.Mensaje(QStringLiteral("¿Cancelar la oportunidad <F-1>?"), caso.estilo,
                                  QStringLiteral("Confirmación"), &formulario, QStringLiteral("KLD251"),
                                  QStringLiteral("ERR-ID:7500021")),
                  caso.respuesta);
        EXPECT_EQ(botones.join(QLatin1Char(' ')), QString::fromUtf8(caso.botones));
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
    EXPECT_NE(dynamic_cast<Servicios::EntornoSql *>(entornoNuevo.get()), nullptr);
    EXPECT_NE(dynamic_cast<Servicios::FuncionesSql *>(funciones.get()), nullptr);
    EXPECT_NE(dynamic_cast<Servicios::ProcesosSql *>(procesos.get()), nullptr);
    EXPECT_TRUE(Servicios::Fabrica::actual().capturaDeNota);
    EXPECT_EQ(entornoNuevo->Operador(), QStringLiteral("ANA"));
    EXPECT_EQ(entornoNuevo->Conexion(), base.conexion());
}

} // namespace
