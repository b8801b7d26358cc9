// Late binding by name; the component registry and loader through which the host finds a
// module's library by its registration name; the log: capped files, whole lines from any
// thread, every message box shown.
#include "basedeprueba.h"
#include "errores.h"
#include "runtime/componentregistry.h"
#include "runtime/latebinding.h"
#include "runtime/log.h"
#include "runtime/logfile.h"

#include <QFile>
#include <QMessageBox>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>
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

// The user's registry and the computer's, as the package writes it, side by side.
class DosRegistros : public testing::Test
{
protected:
    void SetUp() override
    {
        QFile archivo(delSistema);
        ASSERT_TRUE(archivo.open(QIODevice::WriteOnly));
        archivo.write("; escrito por el paquete\n"
                      "[KLD251.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD251.so\nclase=Pantalla\n"
                      "[KLD242.Pantalla]\nbiblioteca=/usr/lib/teqvaro/KLD242.so\nclase=Pantalla\n");
    }

    // Each name's library and class as a registry opened afresh on the same files finds them.
    QString bibliotecas(const QStringList &nombres) const
    {
        const Runtime::ComponentRegistry otro{delUsuario, delSistema};
        QStringList halladas;
        for (const QString &nombre : nombres) {
            const auto hallada = otro.find(nombre).value_or(Runtime::Registration{"-", {}});
            halladas << hallada.library + QLatin1Char(':') + hallada.className;
        }
        return halladas.join(QLatin1Char(' '));
    }

    QTemporaryDir carpeta;
    const QString delUsuario = carpeta.filePath("usuario/componentes.ini");
    const QString delSistema = carpeta.filePath("componentes.ini");
    Runtime::ComponentRegistry registro{delUsuario, delSistema};
};

// The user's own entry wins over the computer's; removing it brings the computer's back, and
// the computer's file is never written.
TEST_F(DosRegistros, findsANameInTheUsersRegistryFirstAndThenInTheComputersWhichItNeverWrites)
{
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
}

// A name nobody registered, or a library that is not there, is refused with 429 naming it.
TEST_F(DosRegistros, theLoaderRefusesWhatItCannotCreateWith429NamingWhatItLookedFor)
{
    Runtime::ComponentLoader loader(registro);
    for (const auto &[nombre, buscado] :
         {std::pair("KLD242.Pantalla", "/usr/lib/teqvaro/KLD242.so"), std::pair("NADA.Pantalla", "NADA.Pantalla")}) {
        const auto crea = [&, nombre = nombre] { loader.createObject(nombre); };
        EXPECT_EQ(errorDe(crea), CannotCreateObject);
        EXPECT_TRUE(descripcionDe(crea).contains(buscado)) << descripcionDe(crea).toStdString();
    }
}

TEST(RotatingLogFile, keepsTheNewestLinesInAFewCappedFilesWrittenWholeFromAnyThread)
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
        for (const QByteArray &linea : contenido.split('\n'))
            EXPECT_TRUE(linea.isEmpty() || linea == "última" || linea == QByteArray(98, linea.front())) << linea.data();
    }
    EXPECT_FALSE(QFile::exists(ruta + ".3"));
    QFile ultimo(ruta);
    ASSERT_TRUE(ultimo.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ultimo.readAll().endsWith("última\n"));
}

QStringList lineasDeMensajes;

void guardaMensajes(QtMsgType, const QMessageLogContext &contexto, const QString &texto)
{
    if (qstrcmp(contexto.category, "teqvaro.mensajes") == 0)
        lineasDeMensajes << texto;
}

TEST(Bitacora, everyMessageBoxShownIsLoggedOnOneLine)
{
    Runtime::logMessageBoxes();
    const QtMessageHandler anterior = qInstallMessageHandler(&guardaMensajes);
    QMessageBox caja(QMessageBox::Critical, "Carga_Oportunidades()", QStringLiteral("Sin red\nreintente"));
    caja.setInformativeText(QStringLiteral("<span style=\"color:gray\">KLD251 · ERR-ID:7500017</span>"));
    QTimer::singleShot(0, &caja, &QMessageBox::accept);
    caja.exec();
    qInstallMessageHandler(anterior);
    EXPECT_EQ(lineasDeMensajes, QStringList{QStringLiteral(
                                    "mensaje Carga_Oportunidades() | KLD251 · ERR-ID:7500017 | Sin red / reintente")});
}

} // namespace

#include "componentes_test.moc"
