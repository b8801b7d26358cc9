#include "basedeprueba.h"
#include "respuestas.h"

#include "servicios/entornosql.h"
#include "servicios/funcionessql.h"
#include "servicios/procesossql.h"

#include "runtime/conversions.h"

#include <QAbstractButton>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class EntornoSqlTest : public ::testing::Test
{
protected:
    EntornoSqlTest() { Servicios::estableceOperador(QStringLiteral("ANA")); }

    Pruebas::BaseDePrueba base;
    Servicios::EntornoSql entorno;
};

TEST_F(EntornoSqlTest, leeVariableDaElValorSegunElTipoOElPredeterminadoCuandoNoHayValor)
{
    // Given variables stored as text, some without a usable value
    base.ejecuta(
        QStringLiteral("INSERT INTO Variable (Va_Nombre, Va_Valor) VALUES ('ENTERO', '15'), ('DECIMAL', '2.5'),"
                       " ('HEX', '&HFF'), ('VACIA', ''), ('NULA', NULL), ('TEXTO', 'abc'), ('CEROS', '007')"));
    struct Caso
    {
        QString nombre;
        QString tipo;
        QVariant predeterminado;
        QVariant esperado;
    };
    const Caso casos[] = {
        {QStringLiteral("ENTERO"), QStringLiteral("N"), 30, QVariant(qlonglong(15))},
        {QStringLiteral("ENTERO"), QStringLiteral("T"), 30, QStringLiteral("15")},
        {QStringLiteral("ENTERO"), QString(), 30, QStringLiteral("15")},
        {QStringLiteral("CEROS"), QStringLiteral("N"), 30, QVariant(qlonglong(7))},
        {QStringLiteral("DECIMAL"), QStringLiteral("N"), 30, 2.5},
        {QStringLiteral("HEX"), QStringLiteral("N"), 30, QStringLiteral("&HFF")},
        {QStringLiteral("TEXTO"), QStringLiteral("N"), 30, QStringLiteral("abc")},
        {QStringLiteral("VACIA"), QStringLiteral("N"), 30, 30},
        {QStringLiteral("NULA"), QString(), QStringLiteral("x"), QStringLiteral("x")},
        {QStringLiteral("FALTA"), QStringLiteral("N"), 30, 30},
        {QStringLiteral("O'Brien"), QStringLiteral("T"), QStringLiteral("d"), QStringLiteral("d")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE((caso.nombre + QLatin1Char('/') + caso.tipo).toStdString());
        // When it is read
        const QVariant valor = entorno.LeeVariable(caso.nombre, 0, caso.tipo, caso.predeterminado);
        // Then value and type are the expected ones
        EXPECT_EQ(valor.metaType(), caso.esperado.metaType());
        EXPECT_EQ(valor, caso.esperado);
    }
    // A hexadecimal text is left to the caller's conversion, which reads it.
    EXPECT_EQ(Runtime::toInteger32(entorno.LeeVariable(QStringLiteral("HEX"), 0, QStringLiteral("N"), 0)), 255);
}

TEST_F(EntornoSqlTest, opcionRestringidaSoloParaElOperadorModuloYOpcionRegistrados)
{
    base.ejecuta(QStringLiteral("INSERT INTO Opcion_Restringida (Or_Cve_Operador, Or_Modulo, Or_Opcion)"
                                " VALUES ('ANA', 'KLD251', 'TOOLB2'), ('O''Neil', 'KLD251', 'KLD251')"));
    struct Caso
    {
        QString operador;
        QString opcion;
        bool restringida;
    };
    const Caso casos[] = {
        {QStringLiteral("ANA"), QStringLiteral("TOOLB2"), true},
        {QStringLiteral("ANA"), QStringLiteral("KLD251"), false},
        {QStringLiteral("PEPE"), QStringLiteral("TOOLB2"), false},
        {QStringLiteral("O'Neil"), QStringLiteral("KLD251"), true},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE((caso.operador + QLatin1Char('/') + caso.opcion).toStdString());
        Servicios::estableceOperador(caso.operador);
        EXPECT_EQ(entorno.OpcionRestringida(QStringLiteral("KLD251"), caso.opcion, QStringLiteral("No disponible")),
                  caso.restringida);
    }
    EXPECT_FALSE(
        entorno.OpcionRestringida(QStringLiteral("KLD999"), QStringLiteral("KLD251"), QStringLiteral("No disponible")));
}

TEST_F(EntornoSqlTest, mensajeDevuelveElBotonPulsadoYMarcaElPredeterminadoSegunElEstilo)
{
    QWidget formulario;
    formulario.setObjectName(QStringLiteral("frmPrueba"));
    formulario.show();
    const QHash<QString, QString> textosEnEspanol = {{QStringLiteral("cmdSi"), QStringLiteral("Sí")},
                                                     {QStringLiteral("cmdNo"), QStringLiteral("No")},
                                                     {QStringLiteral("cmdAceptar"), QStringLiteral("Aceptar")},
                                                     {QStringLiteral("cmdCancelar"), QStringLiteral("Cancelar")},
                                                     {QStringLiteral("cmdReintentar"), QStringLiteral("Reintentar")}};
    struct Caso
    {
        qint32 estilo;
        QStringList botones;
        QString predeterminado;
        QString pulsar;
        qint32 respuesta;
        QMessageBox::Icon icono;
    };
    const Caso casos[] = {
        {36,
         {QStringLiteral("cmdSi"), QStringLiteral("cmdNo")},
         QStringLiteral("cmdSi"),
         QStringLiteral("cmdSi"),
         6,
         QMessageBox::Question},
        {292,
         {QStringLiteral("cmdSi"), QStringLiteral("cmdNo")},
         QStringLiteral("cmdNo"),
         QStringLiteral("cmdNo"),
         7,
         QMessageBox::Question},
        {324,
         {QStringLiteral("cmdSi"), QStringLiteral("cmdNo")},
         QStringLiteral("cmdNo"),
         QStringLiteral("cmdSi"),
         6,
         QMessageBox::Information},
        {48,
         {QStringLiteral("cmdAceptar")},
         QStringLiteral("cmdAceptar"),
         QStringLiteral("cmdAceptar"),
         1,
         QMessageBox::Warning},
        {16 + 1,
         {QStringLiteral("cmdAceptar"), QStringLiteral("cmdCancelar")},
         QStringLiteral("cmdAceptar"),
         QStringLiteral("cmdCancelar"),
         2,
         QMessageBox::Critical},
        {3 + 512,
         {QStringLiteral("cmdSi"), QStringLiteral("cmdNo"), QStringLiteral("cmdCancelar")},
         QStringLiteral("cmdCancelar"),
         QStringLiteral("cmdNo"),
         7,
         QMessageBox::NoIcon},
        {5,
         {QStringLiteral("cmdReintentar"), QStringLiteral("cmdCancelar")},
         QStringLiteral("cmdReintentar"),
         QStringLiteral("cmdReintentar"),
         4,
         QMessageBox::NoIcon},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.estilo);
        QStringList botones;
        QString predeterminado;
        QMessageBox *vista = nullptr;
        Pruebas::alAparecer(QStringLiteral("Mensaje"), [&](QWidget &ventana) {
            vista = qobject_cast<QMessageBox *>(&ventana);
            ASSERT_NE(vista, nullptr);
            for (QAbstractButton *boton : vista->buttons()) {
                botones << boton->objectName();
                EXPECT_EQ(boton->text(), textosEnEspanol.value(boton->objectName()));
            }
            predeterminado = vista->defaultButton() ? vista->defaultButton()->objectName() : QString();
            EXPECT_EQ(vista->windowTitle(), QStringLiteral("Confirmación"));
            EXPECT_EQ(vista->text(), QStringLiteral("¿Cancelar la oportunidad <F-1>?"));
            EXPECT_TRUE(vista->informativeText().contains(QStringLiteral("KLD251")));
            EXPECT_TRUE(vista->informativeText().contains(QStringLiteral("ERR-ID:7500021")));
            EXPECT_EQ(vista->textFormat(), Qt::PlainText);
            EXPECT_EQ(vista->icon(), caso.icono);
            EXPECT_EQ(vista->parentWidget(), &formulario);
            EXPECT_EQ(vista->windowModality(), Qt::WindowModal);
            Pruebas::pulsa(ventana, caso.pulsar);
        });

        const qint32 respuesta = entorno.Mensaje(QStringLiteral("¿Cancelar la oportunidad <F-1>?"), caso.estilo,
                                                 QStringLiteral("Confirmación"), &formulario, QStringLiteral("KLD251"),
                                                 QStringLiteral("ERR-ID:7500021"));

        EXPECT_EQ(respuesta, caso.respuesta);
        botones.sort();
        QStringList esperados = caso.botones;
        esperados.sort();
        EXPECT_EQ(botones, esperados);
        EXPECT_EQ(predeterminado, caso.predeterminado);
    }
}

TEST_F(EntornoSqlTest, laFabricaDaLasImplementacionesSqlYSeRestablece)
{
    Servicios::Fabrica::actual().nuevoEntorno = [] { return std::unique_ptr<Servicios::Entorno>(); };
    Servicios::Fabrica::restablece();

    auto entornoNuevo = Servicios::Fabrica::actual().nuevoEntorno();
    auto funciones = Servicios::Fabrica::actual().nuevasFunciones(*entornoNuevo);
    auto procesos = Servicios::Fabrica::actual().nuevosProcesos(*entornoNuevo, *funciones);
    EXPECT_NE(dynamic_cast<Servicios::EntornoSql *>(entornoNuevo.get()), nullptr);
    EXPECT_NE(dynamic_cast<Servicios::FuncionesSql *>(funciones.get()), nullptr);
    EXPECT_NE(dynamic_cast<Servicios::ProcesosSql *>(procesos.get()), nullptr);
    EXPECT_EQ(entornoNuevo->Operador(), QStringLiteral("ANA"));
    EXPECT_EQ(entornoNuevo->Conexion(), base.conexion());
}

} // namespace
