#include "basedeprueba.h"

#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"

#include "runtime/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <unistd.h>

namespace {

// Each test gets a key file of its own, in a folder that starts without one.
class CifradoTest : public ::testing::Test
{
protected:
    CifradoTest() { qputenv("TEQVARO_CLAVE", rutaClave().toLocal8Bit()); }
    ~CifradoTest() override { qunsetenv("TEQVARO_CLAVE"); }

    QString rutaClave() const { return carpeta.filePath(QStringLiteral("sub/clave.bin")); }

    static int numeroDeError(const std::function<void()> &accion)
    {
        try {
            accion();
        } catch (const Runtime::RuntimeError &error) {
            EXPECT_FALSE(error.description().isEmpty());
            return error.number();
        }
        return 0;
    }

    static QString descifra(const QString &guardada) { return Servicios::Cifrado().Descifra(guardada); }

    QTemporaryDir carpeta;
};

TEST_F(CifradoTest, loCifradoSeDescifraIgualYCadaVezDistinto)
{
    for (const QString &clara : {QStringLiteral("secreto"), QStringLiteral("Contraseña con ñ y €"), QString(),
                                 QStringLiteral(" con espacios ")}) {
        SCOPED_TRACE(clara.toStdString());
        const QString guardada = Servicios::Cifrado::Cifra(clara);
        EXPECT_TRUE(guardada.startsWith(QStringLiteral("sb1:")));
        EXPECT_FALSE(guardada.contains(clara) && !clara.isEmpty());
        EXPECT_NE(Servicios::Cifrado::Cifra(clara), guardada);
        EXPECT_EQ(descifra(guardada), clara);
    }
}

TEST_F(CifradoTest, laClaveSeCreaSoloParaSuDueno)
{
    Servicios::Cifrado::aseguraClave();

    QFile clave(rutaClave());
    EXPECT_EQ(clave.size(), 32);
    EXPECT_EQ(clave.permissions() & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(CifradoTest, unTextoAlteradoAjenoOConOtraClaveLevantaElError5)
{
    const QString guardada = Servicios::Cifrado::Cifra(QStringLiteral("secreto"));
    QString alterada = guardada;
    alterada[alterada.size() - 6] = alterada.at(alterada.size() - 6) == QLatin1Char('A') ? QLatin1Char('B')
                                                                                         : QLatin1Char('A');
    const QStringList malas = {alterada,
                               QStringLiteral("secreto"),
                               QString(),
                               QStringLiteral("sb1:"),
                               QStringLiteral("sb1:%%%no base64%%%"),
                               QStringLiteral("sb1:AAAA"),
                               QStringLiteral("sb2:") + guardada.mid(4)};
    for (const QString &mala : malas) {
        SCOPED_TRACE(mala.toStdString());
        EXPECT_EQ(numeroDeError([&] { descifra(mala); }), Runtime::ErrorNumber::InvalidCall);
    }
    // Under another installation's key the intact text does not decipher either.
    QFile::remove(rutaClave());
    Servicios::Cifrado::aseguraClave();
    EXPECT_EQ(numeroDeError([&] { descifra(guardada); }), Runtime::ErrorNumber::InvalidCall);
}

// A key that cannot be used is reported with its reason, and checking a password never
// makes a new one: that would leave every stored password undecipherable.
TEST_F(CifradoTest, unaClaveQueFaltaAbiertaAOtrosODeOtroTamanoSeRechazaSinCrearla)
{
    struct Caso
    {
        std::optional<QByteArray> contenido; // none: the file does not exist
        QFile::Permissions permisos;
        const char *motivo;
    };
    constexpr auto soloDueno = QFile::ReadOwner | QFile::WriteOwner;
    const Caso casos[] = {
        {std::nullopt, {}, "no existe"},
        {QByteArray(32, 'k'), soloDueno | QFile::ReadGroup | QFile::ReadOther, "otros usuarios"}, // 0644
        {QByteArray(32, 'k'), soloDueno | QFile::WriteGroup, "otros usuarios"},                   // 0620
        {QByteArray(31, 'k'), soloDueno, "tamaño"},
        {QByteArray(64, 'k'), soloDueno, "tamaño"},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.motivo);
        QFile clave(rutaClave());
        if (caso.contenido) {
            Servicios::Cifrado::aseguraClave();
            ASSERT_TRUE(clave.open(QIODevice::WriteOnly | QIODevice::Truncate));
            clave.write(*caso.contenido);
            clave.close();
            ASSERT_TRUE(clave.setPermissions(caso.permisos));
        }

        try {
            descifra(Servicios::Cifrado::Prefijo + QString::fromLatin1(QByteArray(60, 'a').toBase64()));
            ADD_FAILURE() << "no error";
        } catch (const Runtime::RuntimeError &error) {
            EXPECT_EQ(error.number(), 75);
            EXPECT_TRUE(error.description().contains(rutaClave())) << error.description().toStdString();
            EXPECT_TRUE(error.description().contains(QString::fromUtf8(caso.motivo)))
                << error.description().toStdString();
        }
        EXPECT_EQ(clave.exists(), caso.contenido.has_value());
        if (caso.contenido) {
            EXPECT_EQ(numeroDeError([] { Servicios::Cifrado::Cifra(QStringLiteral("x")); }), 75);
            EXPECT_EQ(numeroDeError([] { Servicios::Cifrado::aseguraClave(); }), 75);
        }
        QFile::remove(rutaClave());
    }
}

// The key must be the user's own file: one another account owns is refused even to root (that
// account could have chosen it), and a link to nothing is named as such, never written over.
TEST_F(CifradoTest, aKeyOfAnotherUserOrALinkToNothingIsRefusedSayingWhy)
{
    struct Caso
    {
        const char *motivo;
        std::function<bool()> prepara; // false: this account cannot set the case up
    };
    const Caso casos[] = {
        {"es un enlace a",
         [this] {
             QDir().mkpath(QFileInfo(rutaClave()).path());
             return QFile::link(carpeta.filePath(QStringLiteral("nada.bin")), rutaClave());
         }},
        {"pertenece a otro usuario",
         [this] {
             Servicios::Cifrado::aseguraClave();
             return ::chown(QFile::encodeName(rutaClave()).constData(), 65534, 65534) == 0;
         }},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.motivo);
        if (!caso.prepara()) {
            QFile::remove(rutaClave());
            continue; // changing a file's owner takes root
        }
        const std::function<void()> usos[] = {
            [] { descifra(Servicios::Cifrado::Cifra(QStringLiteral("x"))); },
            [] { Servicios::Cifrado::aseguraClave(); },
            [] { Servicios::Cifrado(); },
        };
        for (const auto &uso : usos) {
            try {
                uso();
                ADD_FAILURE() << "no error";
            } catch (const Runtime::RuntimeError &error) {
                EXPECT_EQ(error.number(), 75);
                EXPECT_TRUE(error.description().contains(QString::fromUtf8(caso.motivo)))
                    << error.description().toStdString();
            }
        }
        QFile::remove(rutaClave());
    }
}

TEST_F(CifradoTest, igualesComparaTextosCompletos)
{
    struct Caso
    {
        QString una;
        QString otra;
        bool iguales;
    };
    const Caso casos[] = {
        {QStringLiteral("secreto"), QStringLiteral("secreto"), true},
        {QString(), QString(), true},
        {QStringLiteral("secreto"), QStringLiteral("Secreto"), false},
        {QStringLiteral("secreto"), QStringLiteral("secreto "), false},
        {QStringLiteral("Año"), QStringLiteral("Ano"), false},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE((caso.una + QLatin1Char('|') + caso.otra).toStdString());
        EXPECT_EQ(Servicios::Cifrado::Iguales(caso.una, caso.otra), caso.iguales);
    }
}

TEST_F(CifradoTest, ponContrasenaGuardaLaContrasenaCifradaDelVendedor)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta(QStringLiteral("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V''1', 'Vera')"));

    Servicios::ponContrasena(QStringLiteral("V'1"), QStringLiteral("Clave'1"));

    const QString guardada = base.valor(
        QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V''1'"));
    EXPECT_TRUE(guardada.startsWith(QStringLiteral("sb1:")));
    EXPECT_EQ(descifra(guardada), QStringLiteral("Clave'1"));
    EXPECT_EQ(numeroDeError([] { Servicios::ponContrasena(QStringLiteral("NADIE"), QStringLiteral("x")); }),
              Runtime::ErrorNumber::InvalidCall);
}

// A password nobody can type back, or one past the limit, is refused for salespeople and
// operators alike, and the one stored before stays.
TEST_F(CifradoTest, emptyBlankAndOverlongPasswordsAreRefusedKeepingTheStoredOne)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta(QStringLiteral("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V1', 'Vera')"));
    base.ejecuta(QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')"));
    Servicios::ponContrasena(QStringLiteral("V1"), QStringLiteral("antes"));
    Servicios::ponContrasenaOperador(QStringLiteral("OP"), QStringLiteral("antes"));
    const auto guardadas = [&base] {
        return base.valor(QStringLiteral("SELECT Vn_Password FROM Vendedor"))
               + base.valor(QStringLiteral("SELECT Oc_Huella FROM Operador_Contrasena"));
    };
    struct Caso
    {
        QString contrasena;
        bool aceptada;
    };
    const Caso casos[] = {
        {QString(), false},
        {QStringLiteral("   "), false},
        {QStringLiteral(" \t "), false},
        {QString(257, QLatin1Char('a')), false},
        {QString(256, QChar(0x00F1)), true}, // characters, not bytes
        {QStringLiteral(" con espacios "), true},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.contrasena.left(20).toStdString());
        const QString antes = guardadas();
        const int vendedor = numeroDeError([&] { Servicios::ponContrasena(QStringLiteral("V1"), caso.contrasena); });
        const int operador = numeroDeError(
            [&] { Servicios::ponContrasenaOperador(QStringLiteral("OP"), caso.contrasena); });
        EXPECT_EQ(vendedor, caso.aceptada ? 0 : Runtime::ErrorNumber::InvalidCall);
        EXPECT_EQ(operador, caso.aceptada ? 0 : Runtime::ErrorNumber::InvalidCall);
        EXPECT_EQ(guardadas() == antes, !caso.aceptada);
    }
}

} // namespace
