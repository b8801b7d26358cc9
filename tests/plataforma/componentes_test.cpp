// Late binding by name; the component registry and loader through which the host finds a
// module's library by its registration name; the log: capped files, whole lines from any
// thread, every message box shown; the conversions, colour references and Mexican figures.
#include "basedeprueba.h"
#include "bitacora.h"
#include "errores.h"
#include "runtime/colors.h"
#include "runtime/componentregistry.h"
#include "runtime/conversions.h"
#include "runtime/error.h"
#include "runtime/latebinding.h"
#include "runtime/log.h"
#include "runtime/logfile.h"
#include "runtime/regional.h"

#include <QDate>
#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>
#include <variant>
#include <vector>

namespace {

using Pruebas::descripcionDe;
using Pruebas::errorDe;
using namespace Runtime::ErrorNumber;

// A host-like object with members reached by name.
class ObjetoConMiembros : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Transaccion READ Transaccion)

public:
    QString Transaccion() const { return "T-1"; }
    Q_INVOKABLE void transacciones(const QString &modulo, const QString &parametros)
    {
        llamadas << modulo + QLatin1Char(' ') + parametros;
    }
    Q_INVOKABLE int suma(int a, int b) const { return a + b; }

    QStringList llamadas;
};

TEST(LateBinding, readsAndCallsMembersByNameAndRaises91WithoutAnObjectAnd438ForAMissingOne)
{
    ObjetoConMiembros objeto;
    EXPECT_EQ(Runtime::readMember(&objeto, "Transaccion").toString(), "T-1");
    Runtime::callMember(&objeto, "transacciones", {"KLD242", "ACCION=NUEVO"});
    EXPECT_EQ(objeto.llamadas, QStringList{"KLD242 ACCION=NUEVO"});
    EXPECT_EQ(Runtime::callMember(&objeto, "suma", {"2", 3}).toInt(), 5);

    const std::pair<std::function<void()>, int> casos[] = {
        {[] { Runtime::callMember(nullptr, "transacciones", {}); }, ObjectNotSet},
        {[&] { Runtime::callMember(&objeto, "suma", QVariantList() << "dos" << 3); }, TypeMismatch},
        {[&] { Runtime::readMember(&objeto, "NoExiste"); }, MemberNotFound},
        {[&] { Runtime::callMember(&objeto, "noExiste", {}); }, MemberNotFound},
        // The right name with the wrong number of arguments is no member either.
        {[&] { Runtime::callMember(&objeto, "transacciones", {"KLD242"}); }, MemberNotFound},
    };
    for (const auto &[paso, numero] : casos)
        EXPECT_EQ(errorDe(paso), numero);
}

// The user's registry and the computer's, as the package writes it, side by side: the user's
// own entry wins over the computer's; removing it brings the computer's back, and the
// computer's file is never written. The loader refuses a name nobody registered, or a library
// that is not there, with 429 naming what it looked for.
TEST(DosRegistros, findsANameInTheUsersRegistryFirstAndThenInTheComputersWhichItNeverWrites)
{
    const QTemporaryDir carpeta;
    const QString delUsuario = carpeta.filePath("usuario/componentes.ini");
    const QString delSistema = carpeta.filePath("componentes.ini");
    QFile archivo(delSistema);
    ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
    archivo.write("; escrito por el paquete\n"
                  "[KLD251.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD251.so\nclase=Pantalla\n"
                  "[KLD242.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD242.so\nclase=Pantalla\n");
    archivo.close();
    // Each name's library and class as a registry opened afresh on the same files finds them.
    const auto bibliotecas = [&](const QStringList &nombres) {
        const Runtime::ComponentRegistry otro{delUsuario, delSistema};
        QStringList halladas;
        for (const QString &nombre : nombres) {
            const auto hallada = otro.find(nombre).value_or(Runtime::Registration{"-", {}});
            halladas << hallada.library + QLatin1Char(':') + hallada.className;
        }
        return halladas.join(QLatin1Char(' '));
    };
    Runtime::ComponentRegistry registro{delUsuario, delSistema};
    registro.registerClass("KLD251.Pantalla", {"/home/ana/KLD251.so", "Pantalla"});
    registro.registerClass("KLD300.Pantalla", {"/home/ana/KLD300.so", "Otra"});
    const QStringList nombres = {"KLD251.Pantalla", "KLD242.Pantalla", "KLD300.Pantalla", "KLD999.Pantalla"};
    EXPECT_EQ(bibliotecas(nombres), QStringLiteral("/home/ana/KLD251.so:Pantalla /usr/lib/teqvaro/KLD242.so:Pantalla "
                                                   "/home/ana/KLD300.so:Otra -:"));
    EXPECT_EQ(registro.registrationNames().join(QLatin1Char(' ')), "KLD242.Pantalla KLD251.Pantalla KLD300.Pantalla");

    for (const QString &nombre : nombres)
        registro.unregisterClass(nombre);
    EXPECT_EQ(bibliotecas(nombres), QStringLiteral("/usr/lib/teqvaro/KLD251.so:Pantalla "
                                                   "/usr/lib/teqvaro/KLD242.so:Pantalla -: -:"));

    Runtime::ComponentLoader loader(registro);
    for (const auto &[nombre, buscado] :
         {std::pair("KLD242.Pantalla", "/usr/lib/teqvaro/KLD242.so"), std::pair("NADA.Pantalla", "NADA.Pantalla")}) {
        const auto crea = [&, nombre = nombre] { loader.createObject(nombre); };
        EXPECT_EQ(errorDe(crea), CannotCreateObject);
        EXPECT_TRUE(descripcionDe(crea).contains(buscado)) << descripcionDe(crea).toStdString();
    }
}

// The log keeps the newest lines in a few capped files, written whole from any thread; every
// message box shown goes to it on one line.
TEST(Bitacora, keepsTheNewestLinesInAFewCappedFilesWrittenWholeAndEveryMessageBoxOnOneLine)
{
    const QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath("teqvaro.log");
    {
        Runtime::RotatingLogFile bitacora(ruta, 10'000, 3);
        std::vector<std::thread> hilos;
        for (int hilo = 0; hilo < 4; ++hilo)
            hilos.emplace_back([&bitacora, hilo] {
                for (int linea = 0; linea < 250; ++linea)
                    bitacora.write(QByteArray(98, char('a' + hilo)) + "\n");
            });
        for (std::thread &hilo : hilos)
            hilo.join();
        bitacora.write("última\n");
    }
    for (const QString &nombre : {ruta, ruta + ".1", ruta + ".2"}) {
        QFile archivo(nombre);
        ASSERT_TRUE(archivo.open(QIODevice::ReadOnly)) << nombre.toStdString();
        const QByteArray contenido = archivo.readAll();
        EXPECT_LE(contenido.size(), 10'000);
        EXPECT_EQ(contenido.endsWith("última\n"), nombre == ruta); // the newest line in the current file
        for (const QByteArray &linea : contenido.split('\n'))
            EXPECT_TRUE(linea.isEmpty() || linea == "última" || linea == QByteArray(98, linea.front())) << linea.data();
    }
    EXPECT_FALSE(QFile::exists(ruta + ".3"));

    Runtime::logMessageBoxes();
    const Pruebas::Bitacora mensajes("teqvaro.mensajes");
    QMessageBox caja(QMessageBox::Critical, "Carga_Oportunidades()", QStringLiteral("Sin red\nreintente"));
    caja.setInformativeText(QStringLiteral("<span style=\"color:gray\">KLD251 · ERR-ID:7500017</span>"));
    QTimer::singleShot(0, &caja, &QMessageBox::accept);
    caja.exec();
    EXPECT_EQ(mensajes.lineas(), QStringList{QStringLiteral(
                                     "mensaje Carga_Oportunidades() | KLD251 · ERR-ID:7500017 | Sin red / reintente")});
}

// The expected outcome of a conversion: a value, or the number of the error it raises.
struct Raises
{
    int number;
};

// One outcome and every input that must give it.
template<typename Integer> struct Case
{
    std::variant<Integer, Raises> expected;
    QVariantList inputs;
};

template<typename Integer, typename Convert>
void expectOutcomes(const std::vector<Case<Integer>> &cases, Convert convert)
{
    for (const auto &[expected, inputs] : cases) {
        for (const QVariant &input : inputs) {
            SCOPED_TRACE(input.toString().toStdString() + " (" + (input.typeName() ? input.typeName() : "Empty") + ")");
            Integer value{};
            const int error = errorDe([&] { value = convert(input); });
            if (const auto *expectedValue = std::get_if<Integer>(&expected))
                EXPECT_EQ(std::pair(error, value), std::pair(0, *expectedValue));
            else
                EXPECT_EQ(error, std::get<Raises>(expected).number);
        }
    }
}

// To an integer, a half rounds to even, down to -32,768.5; text is read as a number in decimal,
// "&H" or "&O". A colour reference reads numbers, decimal and hexadecimal text as four bytes.
TEST(Conversion, toIntegersRoundsHalvesToEvenAndToColourReferencesReadsFourBytes)
{
    expectOutcomes<qint16>(
        {
            {qint16(0), {0.5, QVariant()}},
            {qint16(2), {1.5, 2.5}},
            {qint16(-2), {-2.5}},
            {qint16(32767), {32767, "&H7FFF"}},
            {qint16(-32768), {-32768.4, -32768.5}},
            {Raises{Overflow}, {32768, -32768.6, -32769, 32767.5, "40000", "&H10000"}},
            {qint16(12), {"  12 "}},
            {qint16(4), {"3.5"}},
            {qint16(1000), {"1e3"}},
            {qint16(-1), {"&HFFFF", true}},
            {qint16(15), {"&O17"}},
            {Raises{TypeMismatch}, {"", "   ", "abc", "12abc", "nan", "&HZZ"}},
            {Raises{InvalidUseOfNull}, {Runtime::nullValue()}},
        },
        &Runtime::toInteger16);
    expectOutcomes<qint32>(
        {
            {qint32(0xFF), {"&HFF"}},
            {qint32(0xFF0000), {"&hff0000", "16711680", 16711680.0}},
            {qint32(-1), {" &HFFFFFFFF ", "-1"}},
            {qint32(0x80000012u), {"&H80000012"}},
            {Raises{Overflow}, {"&H100000000", QVariant(qlonglong(1) << 40), "1099511627776"}},
            {Raises{TypeMismatch}, {"", "&H", "&HZZ", "rojo"}},
            {Raises{InvalidUseOfNull}, {Runtime::nullValue()}},
        },
        [](const QVariant &value) { return Runtime::toColorReference(value); });
}

// A reference is laid out blue-green-red, lowest byte red, or names a system colour of the
// palette; anything else is refused with 380. Text: empty for empty, an error for Null, and
// numbers written shortest. The list writes figures and dates by hand for speed: exactly as the
// Mexican locale writes them, but without a sign on a figure that rounds to zero.
TEST(ColorReference, isBlueGreenRedOrASystemColourTextIsShortestAndFiguresAreWrittenAsInMexico)
{
    EXPECT_EQ(Runtime::toColorReference(QColor(180, 201, 75)), 0x4BC9B4);
    QPalette palette;
    palette.setColor(QPalette::ButtonText, QColor(1, 2, 3));
    EXPECT_EQ(Runtime::toQColor(qint32(0x80000012u), palette), QColor(1, 2, 3));
    for (const qint32 refused : {qint32(-1), qint32(0x01000000), qint32(0x80000019u), qint32(0x7FFFFFFF)}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(Runtime::isValidColorReference(refused));
        EXPECT_EQ(errorDe([&] { Runtime::toQColor(refused); }), InvalidPropertyValue);
    }
    const QStringList textos = {Runtime::toText(QVariant()), Runtime::toText(2.5), Runtime::toText(3.0),
                                Runtime::toText(42), Runtime::toTextOrEmpty(Runtime::nullValue())};
    EXPECT_EQ(textos.join('|'), "|2.5|3|42|");
    EXPECT_EQ(errorDe([] { Runtime::toText(Runtime::nullValue()); }), InvalidUseOfNull);
    for (const double valor : {0.0, -0.0, 0.004, -0.004, 1.0, 12.5, 0.125, -2.5, 1.005, 999.999, 1000.0, -1234.5,
                               33890.44, 1e15, -9.87654321e12, 123456789012.345, 1e300})
        for (const int decimales : {0, 1, 2, 6})
            EXPECT_EQ(Runtime::formatNumber(valor, decimales),
                      Runtime::mexicanLocale()
                          .toString(valor, 'f', decimales)
                          .replace(QRegularExpression("^-(?=[0.]+$)"), QString()))
                << valor << " " << decimales;
    EXPECT_EQ(QStringList({Runtime::formatAmount(-0.001), Runtime::formatInteger(std::numeric_limits<qint64>::min()),
                           Runtime::formatInteger(-999), Runtime::formatInteger(1000)}),
              QStringList({"$0.00", "-9,223,372,036,854,775,808", "-999", "1,000"}));
    for (const QDate fecha : {QDate(1000, 2, 3), QDate(999, 9, 9), QDate(9999, 12, 31)})
        EXPECT_EQ(Runtime::formatDate(fecha), fecha.toString(Runtime::dateFormat)) << fecha.year();
}

} // namespace

#include "componentes_test.moc"
