#include "basedeprueba.h"
#include "errores.h"

#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

using Pruebas::errorDe;
using Runtime::ErrorNumber::InvalidCall;

constexpr int ErrorDeArchivo = 75;

// The description of the runtime error a step raises ("" when none): where the user reads
// the reason, the reason is what is tested.
QString motivoDe(const std::function<void()> &paso)
{
    try {
        paso();
    } catch (const Runtime::RuntimeError &error) {
        return error.description();
    }
    return QString();
}

QString descifra(const QString &guardada)
{
    return Servicios::Cifrado().Descifra(guardada);
}

// Each test gets a key file of its own, in a folder that starts without one.
class Cifrado : public ::testing::Test
{
protected:
    Cifrado() { qputenv("TEQVARO_CLAVE", rutaClave().toLocal8Bit()); }
    ~Cifrado() override { qunsetenv("TEQVARO_CLAVE"); }

    QString rutaClave() const { return carpeta.filePath(QStringLiteral("sub/clave.bin")); }

    QTemporaryDir carpeta;
};

TEST_F(Cifrado, whatIsEncipheredDeciphersTheSameDiffersEachTimeAndComparesWhole)
{
    for (const QString clara : {"secreto", "Contraseña con ñ y €", "", " con espacios "}) {
        SCOPED_TRACE(clara.toStdString());
        const QString guardada = Servicios::Cifrado::Cifra(clara);
        EXPECT_TRUE(guardada.startsWith(QStringLiteral("sb1:")));
        EXPECT_FALSE(guardada.contains(clara) && !clara.isEmpty());
        EXPECT_NE(Servicios::Cifrado::Cifra(clara), guardada);
        EXPECT_EQ(descifra(guardada), clara);
    }
    for (const QString otra : {"Secreto", "secreto ", "secret", ""}) // compared whole
        EXPECT_FALSE(Servicios::Cifrado::Iguales(QStringLiteral("secreto"), otra)) << otra.toStdString();
    EXPECT_FALSE(Servicios::Cifrado::Iguales(QStringLiteral("Año"), QStringLiteral("Ano")));
    EXPECT_TRUE(Servicios::Cifrado::Iguales(QStringLiteral("secreto"), QStringLiteral("secreto")));
    QFile clave(rutaClave()); // created by the first use, for its owner alone
    EXPECT_EQ(clave.size(), 32);
    EXPECT_EQ(clave.permissions() & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(Cifrado, anAlteredOrForeignTextOrOneUnderAnotherKeyRaisesError5)
{
    const QString guardada = Servicios::Cifrado::Cifra(QStringLiteral("secreto"));
    QString alterada = guardada;
    alterada[alterada.size() - 6] = alterada.at(alterada.size() - 6) == QLatin1Char('A') ? QLatin1Char('B')
                                                                                         : QLatin1Char('A');
    for (const QString &mala :
         {alterada, QStringLiteral("secreto"), QString(), QStringLiteral("sb1:"), QStringLiteral("sb1:%%%no base64%%%"),
          QStringLiteral("sb1:AAAA"), QStringLiteral("sb2:") + guardada.mid(4)})
        EXPECT_EQ(errorDe([&] { descifra(mala); }), InvalidCall) << mala.toStdString();
    // Under another installation's key the intact text does not decipher either.
    QFile::remove(rutaClave());
    Servicios::Cifrado::aseguraClave();
    EXPECT_EQ(errorDe([&] { descifra(guardada); }), InvalidCall);
}

// A key that cannot be used is reported with its path and reason, and checking a password
// never makes a new one: that would leave every stored password undecipherable. The key must
// be the user's own file: one another account owns is refused even to root (that account
// could have chosen it), and a link to nothing is named as such, never written over.
TEST_F(Cifrado, aKeyMissingOpenToOthersOfAnotherSizeOwnerOrALinkIsRefusedSayingWhy)
{
    const auto escribe = [this](qsizetype tamano, QFile::Permissions permisos) {
        return [this, tamano, permisos] {
            Servicios::Cifrado::aseguraClave();
            QFile clave(rutaClave());
            return clave.open(QIODevice::WriteOnly | QIODevice::Truncate) && clave.write(QByteArray(tamano, 'k'))
                   && clave.setPermissions(permisos);
        };
    };
    constexpr auto soloDueno = QFile::ReadOwner | QFile::WriteOwner;
    const std::pair<const char *, std::function<bool()>> casos[] = {
        {"no existe", [] { return true; }},
        {"otros usuarios", escribe(32, soloDueno | QFile::ReadGroup | QFile::ReadOther)},
        {"otros usuarios", escribe(32, soloDueno | QFile::WriteGroup)},
        {"tamaño", escribe(31, soloDueno)},
        {"tamaño", escribe(64, soloDueno)},
        {"es un enlace a",
         [this] {
             return QDir().mkpath(QFileInfo(rutaClave()).path())
                    && QFile::link(carpeta.filePath(QStringLiteral("nada.bin")), rutaClave());
         }},
        {"pertenece a otro usuario", // changing a file's owner takes root
         [this] {
             Servicios::Cifrado::aseguraClave();
             return ::chown(QFile::encodeName(rutaClave()).constData(), 65534, 65534) == 0;
         }},
    };
    for (const auto &[motivo, prepara] : casos) {
        SCOPED_TRACE(motivo);
        if (prepara()) {
            const QString faltante = QStringLiteral("no existe");
            const std::function<void()> usos[] = {
                [] { descifra(Servicios::Cifrado::Prefijo + QString::fromLatin1(QByteArray(60, 'a').toBase64())); },
                [] { Servicios::Cifrado::aseguraClave(); }, // makes a key only where there is none
                [] { Servicios::Cifrado::Cifra(QStringLiteral("x")); }};
            for (const auto &uso : motivo == faltante ? std::vector(usos, usos + 1) : std::vector(usos, usos + 3)) {
                EXPECT_EQ(errorDe(uso), ErrorDeArchivo);
                const QString dicho = motivoDe(uso);
                EXPECT_TRUE(dicho.contains(rutaClave()) && dicho.contains(QString::fromUtf8(motivo)))
                    << dicho.toStdString();
            }
            EXPECT_EQ(QFileInfo(rutaClave()).isSymLink() || QFileInfo::exists(rutaClave()), motivo != faltante);
        }
        QFile::remove(rutaClave());
    }
    EXPECT_FALSE(QFile::exists(carpeta.filePath(QStringLiteral("nada.bin")))); // the link was not followed
}

// A salesperson's password is stored enciphered. One nobody can type back, or one past the
// limit, is refused for salespeople and operators alike, and the one stored before stays.
TEST_F(Cifrado, aPasswordIsStoredEncipheredAndAnEmptyBlankOrOverlongOneIsRefused)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta(QStringLiteral("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V''1', 'Vera')"));
    base.ejecuta(QStringLiteral("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')"));
    Servicios::ponContrasena(QStringLiteral("V'1"), QStringLiteral("Clave'1"));
    Servicios::ponContrasenaOperador(QStringLiteral("OP"), QStringLiteral("antes"));
    const auto guardadas = [&base] {
        return base.valor(QStringLiteral("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V''1'"))
               + QLatin1Char('|') + base.valor(QStringLiteral("SELECT Oc_Huella FROM Operador_Contrasena"));
    };
    EXPECT_TRUE(guardadas().startsWith(QStringLiteral("sb1:")));
    EXPECT_EQ(descifra(guardadas().section(QLatin1Char('|'), 0, 0)), QStringLiteral("Clave'1"));
    EXPECT_EQ(errorDe([] { Servicios::ponContrasena(QStringLiteral("NADIE"), QStringLiteral("x")); }), InvalidCall);

    const std::pair<QString, bool> casos[] = {{QString(), false},
                                              {QStringLiteral("   "), false},
                                              {QStringLiteral(" \t "), false},
                                              {QString(257, QLatin1Char('a')), false},
                                              {QString(256, QChar(0x00F1)), true}, // characters, not bytes
                                              {QStringLiteral(" con espacios "), true}};
    for (const auto &[contrasena, aceptada] : casos) {
        SCOPED_TRACE(contrasena.left(20).toStdString());
        const QString antes = guardadas();
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasena(QStringLiteral("V'1"), contrasena); }),
                  aceptada ? 0 : InvalidCall);
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasenaOperador(QStringLiteral("OP"), contrasena); }),
                  aceptada ? 0 : InvalidCall);
        EXPECT_EQ(guardadas() == antes, !aceptada);
    }
}

} // namespace
