// Passwords: the rules of a new one, salespeople's checked where their hashes are, and the
// passwords kept enciphered before carried over to hashes under the key of the desk.
#include "basedeprueba.h"
#include "errores.h"

#include "datos/version.h"
#include "servicios/cifrado.h"
#include "servicios/contrasenaoperador.h"
#include "servicios/contrasenavendedor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sodium.h>

#include <unistd.h>

namespace {

using Pruebas::errorDe;
using Runtime::ErrorNumber::InvalidCall;
using Servicios::RevisionDeContrasena;

constexpr int ErrorDeArchivo = 75;
constexpr auto soloDueno = QFile::ReadOwner | QFile::WriteOwner;

// Each test gets a key file of its own, in a folder that starts without one.
class Contrasenas : public ::testing::Test
{
protected:
    Contrasenas() { qputenv("TEQVARO_CLAVE", rutaClave().toLocal8Bit()); }
    ~Contrasenas() override { qunsetenv("TEQVARO_CLAVE"); }

    QString rutaClave() const { return carpeta.filePath("sub/clave.bin"); }

    bool escribeClave(const QByteArray &bytes, QFile::Permissions permisos = soloDueno) const
    {
        QDir().mkpath(QFileInfo(rutaClave()).path());
        QFile clave(rutaClave());
        return clave.open(QIODevice::WriteOnly | QIODevice::Truncate) && clave.write(bytes) == bytes.size()
               && clave.setPermissions(permisos);
    }

    // A password as the program kept it before: enciphered under the key file's bytes.
    QString cifradaComoAntes(const QString &clara) const
    {
        QFile archivo(rutaClave());
        archivo.open(QIODevice::ReadOnly);
        const QByteArray clave = archivo.readAll();
        const QByteArray texto = clara.toUtf8();
        QByteArray guardado(qsizetype(crypto_secretbox_NONCEBYTES + crypto_secretbox_MACBYTES) + texto.size(), '\0');
        auto *nonce = reinterpret_cast<unsigned char *>(guardado.data());
        randombytes_buf(nonce, crypto_secretbox_NONCEBYTES);
        crypto_secretbox_easy(nonce + crypto_secretbox_NONCEBYTES,
                              reinterpret_cast<const unsigned char *>(texto.constData()), quint64(texto.size()), nonce,
                              reinterpret_cast<const unsigned char *>(clave.constData()));
        return "sb1:" + QString::fromLatin1(guardado.toBase64());
    }

    static QString descifra(const QString &guardada) { return Servicios::Cifrado().Descifra(guardada); }

    QTemporaryDir carpeta;
};

TEST_F(Contrasenas, anOldTextDeciphersUnderItsKeyAndAnAlteredOrForeignOneRaisesError5)
{
    ASSERT_TRUE(escribeClave(QByteArray(32, 'k')));
    const QString guardada = cifradaComoAntes("Contraseña con ñ");
    EXPECT_EQ(descifra(guardada), "Contraseña con ñ");
    QString alterada = guardada;
    QChar &cambiada = alterada[alterada.size() - 6];
    cambiada = cambiada == u'A' ? u'B' : u'A';
    for (const QString &mala :
         QStringList{alterada, "secreto", "", "sb1:", "sb1:%%%no base64%%%", "sb1:AAAA", "sb2:" + guardada.mid(4)})
        EXPECT_EQ(errorDe([&] { descifra(mala); }), InvalidCall) << mala.toStdString();
    ASSERT_TRUE(escribeClave(QByteArray(32, 'o'))); // another installation's key
    EXPECT_EQ(errorDe([&] { descifra(guardada); }), InvalidCall);
}

// A key that cannot be used is reported with its path and reason. The key must be the user's
// own file: one another account owns is refused even to root (that account could have chosen
// it), and a link to nothing is named as such.
TEST_F(Contrasenas, aKeyMissingOpenToOthersOfAnotherSizeOwnerOrALinkIsRefusedSayingWhy)
{
    const auto escribe = [this](qsizetype tamano, QFile::Permissions permisos) {
        return [this, tamano, permisos] { return escribeClave(QByteArray(tamano, 'k'), permisos); };
    };
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
             return escribeClave(QByteArray(32, 'k'))
                    && ::chown(QFile::encodeName(rutaClave()).constData(), 65534, 65534) == 0;
         }},
    };
    for (const auto &[motivo, prepara] : casos) {
        SCOPED_TRACE(motivo);
        if (!prepara())
            continue;
        const auto usa = [] { Servicios::Cifrado(); };
        EXPECT_EQ(errorDe(usa), ErrorDeArchivo);
        const QString dicho = Pruebas::descripcionDe(usa);
        EXPECT_TRUE(dicho.contains(rutaClave()) && dicho.contains(QString::fromUtf8(motivo))) << dicho.toStdString();
        QFile::remove(rutaClave());
    }
    EXPECT_FALSE(QFile::exists(carpeta.filePath("nada.bin"))); // the link was not followed
}

// A password is stored as a hash nobody reads back. One nobody can type back, a short one or
// one past the limit is refused for salespeople and operators alike, and the one stored
// before stays.
TEST_F(Contrasenas, aPasswordIsStoredAsAHashAndAShortBlankOrOverlongOneIsRefused)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V''1', 'Vera')");
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('OP', 'Olga')");
    Servicios::ponContrasena("V'1", "Clave'1 larga");
    Servicios::ponContrasenaOperador("OP", "Antes de todo");
    const auto guardadas = [&base] {
        return base.valor("SELECT Vc_Huella FROM Vendedor_Contrasena") + '|'
               + base.valor("SELECT Oc_Huella FROM Operador_Contrasena");
    };
    EXPECT_FALSE(guardadas().contains("Clave") || guardadas().contains("Antes"));
    EXPECT_EQ(base.cuenta("Vendedor", "Vn_Password IS NOT NULL"), 0);
    EXPECT_EQ(errorDe([] { Servicios::ponContrasena("NADIE", "Una muy buena"); }), InvalidCall);

    // The limits count characters, not bytes.
    const std::pair<QString, bool> casos[] = {{"", false},
                                              {"   ", false},
                                              {QString(12, ' '), false},
                                              {"Nueve1234", false},
                                              {QString(257, 'a'), false},
                                              {"Diez123456", true},
                                              {QString(256, u'ñ'), true},
                                              {" con espacios ", true}};
    for (const auto &[contrasena, aceptada] : casos) {
        SCOPED_TRACE(contrasena.left(20).toStdString());
        const QString antes = guardadas();
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasena("V'1", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(errorDe([&] { Servicios::ponContrasenaOperador("OP", contrasena); }), aceptada ? 0 : InvalidCall);
        EXPECT_EQ(guardadas() == antes, !aceptada);
    }
    EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V'1", " con espacios "),
              RevisionDeContrasena::Coincide);
}

// Passwords kept enciphered become hashes on the upgrade: those this desk's key deciphers
// still open the login, the others ask for a new one; none stays in Vendedor.
TEST_F(Contrasenas, theUpgradeHashesWhatTheKeyDeciphersAndAsksANewPasswordForTheRest)
{
    ASSERT_TRUE(escribeClave(QByteArray(32, 'k')));
    Pruebas::BaseDePrueba base(3);
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion, Vn_Password) VALUES ('V1', 'Uno', '"
                 + cifradaComoAntes("Secreta1") + "'), ('V2', 'Dos', 'sb1:AAAA'), ('V3', 'Tres', NULL)");
    Datos::actualizaEsquema(*base.conexion());

    const auto revisa = [&base](const QString &codigo, const QString &clara) {
        return Servicios::revisaContrasenaDeVendedor(*base.conexion(), codigo, clara);
    };
    EXPECT_EQ(revisa("V1", "Secreta1"), RevisionDeContrasena::Coincide);
    EXPECT_EQ(revisa("V1", "secreta1"), RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(revisa("V2", "Secreta1"), RevisionDeContrasena::PideNueva);
    EXPECT_EQ(revisa("V3", ""), RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(revisa("NADIE", "Secreta1"), RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(base.cuenta("Vendedor", "Vn_Password IS NOT NULL"), 0);
    Servicios::ponContrasena("V2", "Nueva contraseña");
    EXPECT_EQ(revisa("V2", "Nueva contraseña"), RevisionDeContrasena::Coincide);
}

// The server counts each failure before its outcome can be read, writes it to the audit log,
// and forgets the count on a success; a try inside a transaction tells nothing.
class ContrasenasPostgreSQL : public Contrasenas
{ };

TEST_F(ContrasenasPostgreSQL, theServerCountsEachFailureBeforeItsOutcomeCanBeRead)
{
    Pruebas::BaseDePrueba base;
    base.ejecuta("INSERT INTO Vendedor (Vn_Cve_Vendedor, Vn_Descripcion) VALUES ('V1', 'Uno')");
    Servicios::ponContrasena("V1", "Secreta123");
    for (int vez = 0; vez < 3; ++vez)
        EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "mala"),
                  RevisionDeContrasena::NoCoincide);
    EXPECT_EQ(base.valor("SELECT Vc_Fallos FROM Vendedor_Contrasena"), "3");
    EXPECT_EQ(base.cuenta("Bitacora", "Bi_Entidad = 'VENDEDOR' AND Bi_Clave = 'V1'"), 3);

    base.ejecuta("BEGIN");
    const QString intento = base.valor("SELECT teqvaro_intenta_vendedor('V1', 'Secreta123')");
    EXPECT_NE(errorDe([&] { base.valor("SELECT teqvaro_resultado_vendedor('" + intento + "')"); }), 0);
    base.ejecuta("ROLLBACK");

    EXPECT_EQ(Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "Secreta123"),
              RevisionDeContrasena::Coincide);
    EXPECT_EQ(base.valor("SELECT Vc_Fallos FROM Vendedor_Contrasena"), "0");

    // From the fifth failure in a row, the server waits before it checks.
    base.ejecuta("UPDATE Vendedor_Contrasena SET Vc_Fallos = 5");
    QElapsedTimer reloj;
    reloj.start();
    Servicios::revisaContrasenaDeVendedor(*base.conexion(), "V1", "mala");
    EXPECT_GE(reloj.elapsed(), 1000);
}

} // namespace
