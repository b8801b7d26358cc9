#include "basedeprueba.h"
#include "errores.h"

#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Pruebas::errorDe;
using Runtime::ErrorNumber::InvalidCall;

constexpr int ErrorDeArchivo = 75;

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

    QString rutaClave() const { return carpeta.filePath("sub/clave.bin"); }

    QTemporaryDir carpeta;
};

TEST_F(Cifrado, whatIsEncipheredDeciphersTheSameDiffersEachTimeAndComparesWhole)
{
    for (const QString clara : {"secreto", "Contraseña con ñ y €", "", " con espacios "}) {
        SCOPED_TRACE(clara.toStdString());
        const QString guardada = Servicios::Cifrado::Cifra(clara);
        EXPECT_TRUE(guardada.startsWith("sb1:"));
        EXPECT_FALSE(guardada.contains(clara) && !clara.isEmpty());
        EXPECT_NE(Servicios::Cifrado::Cifra(clara), guardada);
        EXPECT_EQ(descifra(guardada), clara);
    }
    for (const QString otra : {"Secreto", "secreto ", "secret", "", "secretó"}) // compared whole
        EXPECT_FALSE(Servicios::Cifrado::Iguales("secreto", otra)) << otra.toStdString();
    EXPECT_TRUE(Servicios::Cifrado::Iguales("secreto", "secreto"));
    QFile clave(rutaClave()); // created by the first use, for its owner alone
    EXPECT_EQ(clave.size(), 32);
    EXPECT_EQ(clave.permissions() & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(Cifrado, anAlteredOrForeignTextOrOneUnderAnotherKeyRaisesError5)
{
    const QString guardada = Servicios::Cifrado::Cifra("secreto");
    QString alterada = guardada;
    QChar &cambiada = alterada[alterada.size() - 6];
    cambiada = cambiada == u'A' ? u'B' : u'A';
    for (const QString &mala :
         QStringList{alterada, "secreto", "", "sb1:", "sb1:%%%no base64%%%", "sb1:AAAA", "sb2:" + guardada.mid(4)})
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
                    && QFile::link(carpeta.filePath("nada.bin"), rutaClave());
         }},
        {"pertenece a otro usuario", // changing a file's owner takes root
         [this] {
             Servicios::Cifrado::aseguraClave();
             return ::chown(QFile::encodeName(rutaClave()).constData(), 65534, 65534) == 0;
         }},
    };
    for (const auto &[motivo, prepara] : casos) {
        SCOPED_TRACE(motivo);
        const bool falta = motivo == std::string_view("no existe");
        // Deciphering; where a file stands, also making sure of a key and enciphering.
        const std::function<void()> usos[] = {
            [] { descifra(Servicios::Cifrado::Prefijo + QString::fromLatin1(QByteArray(60, 'a').toBase64())); },
            [] { Servicios::Cifrado::aseguraClave(); }, [] { Servicios::Cifrado::Cifra("x"); }};
        const bool preparada = prepara();
        for (size_t uso = 0; preparada && uso < (falta ? 1 : 3); ++uso) {
            EXPECT_EQ(errorDe(usos[uso]), ErrorDeArchivo);
            const QString dicho = Pruebas::descripcionDe(usos[uso]);
            EXPECT_TRUE(dicho.contains(rutaClave()) && dicho.contains(QString::fromUtf8(motivo)))
                << dicho.toStdString();
            EXPECT_EQ(QFileInfo(rutaClave()).isSymLink() || QFileInfo::exists(rutaClave()), !falta);
        }
        QFile::remove(rutaClave());
    }
    EXPECT_FALSE(QFile::exists(carpeta.filePath("nada.bin"))); // the link was not followed
}

// A salesperson's password is stored enciphered. One nobody can type back, or one past the
// limit, is refused for salespeople and operators alike, and the one stored before stays.
TEST_F(Cifrado, aPasswordIsStoredEncipheredAndAnEmptyBlankOrOverlongOneIsRefused)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V''1', 'Vera')");
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')");
    Servicios::ponContrasena("V'1", "Clave'1");
    Servicios::ponContrasenaOperador("OP", "antes");
    const auto guardadas = [&base] {
        return base.valor("SELECT Vn_Password FROM Vendedor WHERE Vn_Cve_Vendedor = 'V''1'") + '|'
               + base.valor("SELECT Oc_Huella FROM Operador_Contrasena");
    };
    EXPECT_TRUE(guardadas().startsWith("sb1:"));
    EXPECT_EQ(descifra(guardadas().section('|', 0, 0)), "Clave'1");
    EXPECT_EQ(errorDe([] { Servicios::ponContrasena("NADIE", "x"); }), InvalidCall);

    // The limit counts characters, not bytes.
    const std::pair<QString, bool> casos[] = {{"", false},
                                              {"   ", false},
                                              {" \t ", false},
                                              {QString(257, 'a'), false},
                                              {QString(256, u'ñ'), true},
                                              {" con espacios ", true}};
    for (const auto &[contrasena, aceptada] : casos) {
        SCOPED_TRACE(contrasena.left(20).toStdString());
        const QString antes = guardadas();
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasena("V'1", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasenaOperador("OP", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(guardadas() == antes, !aceptada);
    }
}

} // namespace
