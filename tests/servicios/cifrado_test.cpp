#include "basedeprueba.h"

#include "servicios/cifrado.h"

#include "runtime/error.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    QTemporaryDir carpeta;
    Servicios::Cifrado cifrado;
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
        EXPECT_EQ(cifrado.Descifra(guardada), clara);
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
    alterada[alterada.size() - 6] = alterada.at(alterada.size() - 6) == QLatin1Char('A') ? QLatin1Char('B') : QLatin1Char('A');
    const QStringList malas = {alterada, QStringLiteral("secreto"), QString(), QStringLiteral("sb1:"),
                               QStringLiteral("sb1:%%%no base64%%%"), QStringLiteral("sb1:AAAA"),
                               QStringLiteral("sb2:") + guardada.mid(4)};
    for (const QString &mala : malas) {
        SCOPED_TRACE(mala.toStdString());
        EXPECT_EQ(numeroDeError([&] { cifrado.Descifra(mala); }), Runtime::ErrorNumber::InvalidCall);
    }
    // Under another installation's key the intact text does not decipher either.
    QFile::remove(rutaClave());
    EXPECT_EQ(numeroDeError([&] { cifrado.Descifra(guardada); }), Runtime::ErrorNumber::InvalidCall);
}

TEST_F(CifradoTest, unaClaveAbiertaAOtrosODeOtroTamanoSeRechaza)
{
    struct Caso
    {
        QByteArray contenido;
        QFile::Permissions permisos;
    };
    const Caso casos[] = {
        {QByteArray(32, 'k'), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther}, // 0644
        {QByteArray(32, 'k'), QFile::ReadOwner | QFile::WriteOwner | QFile::WriteGroup},                   // 0620
        {QByteArray(31, 'k'), QFile::ReadOwner | QFile::WriteOwner},
        {QByteArray(64, 'k'), QFile::ReadOwner | QFile::WriteOwner},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.contenido.size());
        Servicios::Cifrado::aseguraClave();
        QFile clave(rutaClave());
        ASSERT_TRUE(clave.open(QIODevice::WriteOnly | QIODevice::Truncate));
        clave.write(caso.contenido);
        clave.close();
        ASSERT_TRUE(clave.setPermissions(caso.permisos));

        EXPECT_NE(numeroDeError([] { Servicios::Cifrado::Cifra(QStringLiteral("x")); }), 0);
        EXPECT_NE(numeroDeError([] { Servicios::Cifrado::aseguraClave(); }), 0);
        EXPECT_NE(numeroDeError([&] { cifrado.Descifra(QStringLiteral("sb1:") + QString(QByteArray(60, 'a').toBase64())); }),
                  0);
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

    const QString guardada = base.valor(QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V''1'"));
    EXPECT_TRUE(guardada.startsWith(QStringLiteral("sb1:")));
    EXPECT_EQ(cifrado.Descifra(guardada), QStringLiteral("Clave'1"));
    EXPECT_EQ(numeroDeError([] { Servicios::ponContrasena(QStringLiteral("NADIE"), QStringLiteral("x")); }),
              Runtime::ErrorNumber::InvalidCall);
}

} // namespace
