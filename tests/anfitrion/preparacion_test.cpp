// Preparing a new database: from nothing to a board the administrator signs in to, the demo's
// rows on request, and a database that already holds the suite's tables, or a preparation
// that fails halfway, leaving everything as it was. Then the schema's version: a database from
// before versions brought up to date, a newer one refused untouched, a failed step undone.
#include "basedeprueba.h"
#include "errores.h"

#include "ingreso.h"

#include "ado/session.h"
#include "datos/derechos.h"
#include "datos/preparacion.h"
#include "datos/version.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString contrasena = "Clave'1234";

class PreparacionDeBase : public testing::Test
{
protected:
    // The test database, emptied: a SQLite file that is not there, a PostgreSQL schema
    // without tables.
    void vacia() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite) {
            Ado::Session::reset();
            QFile::remove(base.direccion().path);
        } else {
            Pruebas::vaciaPostgreSQL(*base.conexion());
        }
    }

    // The error the preparation raised, or "" when it prepared the database.
    QString prepara(
        bool demo = false, std::function<QString()> clave = [] { return contrasena; }) const
    {
        Datos::Preparacion preparacion;
        preparacion.demo = demo;
        preparacion.oportunidadesDemo = 12;
        preparacion.contrasena = std::move(clave);
        return Pruebas::descripcionDe([&] { Datos::preparaBase(base.direccion(), preparacion); });
    }

    // What the program says when run as an administrator types it, with the password on its
    // input; it must end with the exit code given.
    QString programa(const QStringList &argumentos, int codigo) const
    {
        QProcess programa;
        programa.start(QStringLiteral(TEQVARO_PROGRAMA), argumentos);
        programa.write(contrasena.toUtf8() + '\n');
        programa.closeWriteChannel();
        EXPECT_TRUE(programa.waitForFinished(60000));
        const QString salida = QString::fromUtf8(programa.readAllStandardOutput() + programa.readAllStandardError());
        EXPECT_EQ(programa.exitCode(), codigo) << salida.toStdString();
        return salida;
    }

    // What a second look at the database finds: its suite tables and its rows of each.
    QString contenido() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite && !QFile::exists(base.direccion().path))
            return "sin archivo";
        QString texto = Pruebas::motor() == Ado::Engine::PostgreSQL
                            ? Datos::rolesDeLaBase(*base.conexion()).join(' ') + ' '
                            : QString();
        for (const QString &tabla : Datos::tablasDeLaSuite(*base.conexion())) {
            texto += tabla + ':' + QString::number(base.cuenta(tabla)) + ' ';
            if (tabla.compare("Operador_Contrasena", Qt::CaseInsensitive) == 0)
                texto += base.valor("SELECT MAX(Oc_Huella) FROM Operador_Contrasena");
        }
        return texto;
    }

    Pruebas::BaseDePrueba base;
};

// Given an empty database, the preparation (by the program as an administrator types it, or
// with the demo's rows) leaves one the board can use: the program's schema version, coloured
// states, causes to close with, every listed view stored and runnable, and an administrator who
// signs in with the password given and sees everything.
TEST_F(PreparacionDeBase, anEmptyDatabaseBecomesOneTheAdministratorSignsInTo)
{
    // Whether the demo's rows are asked for; the views and opportunities that gives; the
    // administrator ADMIN's salesperson and level (the demo's ADMIN has none).
    const std::tuple<bool, int, int, const char *> casos[] = {{false, 1, 0, "ADMIN/3"}, {true, 2, 12, "/"}};
    for (const auto &[demo, vistasEsperadas, oportunidades, vendedor] : casos) {
        SCOPED_TRACE(demo ? "con la demostración" : "la configuración inicial");
        vacia();
        if (demo)
            ASSERT_EQ(prepara(true), QString());
        else
            EXPECT_TRUE(programa({"--prepara-base", base.url(), "--operador", "admin"}, 0)
                            .contains("El operador ADMIN entra con la contraseña dada"));

        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), Datos::versionDelPrograma());
        if (Pruebas::motor() == Ado::Engine::SQLite) { // one person's database: theirs alone
            EXPECT_EQ(QFile::permissions(base.direccion().path) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
        }
        EXPECT_GE(base.cuenta("Estado_Oportunidad", "Eo_Hexadecimal LIKE '&H%'"), 5);
        EXPECT_EQ(base.cuenta("Estado_Oportunidad", "Eo_Hexadecimal NOT LIKE '&H%'"), 0);
        EXPECT_GE(base.cuenta("Causa_Oportunidad_Perdida", "Es_Cve_Estado = 'AC'"), 1);
        EXPECT_EQ(base.cuenta("Oportunidad"), oportunidades);
        const QStringList vistas =
            base.valor("SELECT Va_Valor FROM Variable WHERE Va_Nombre = 'CRM_VISTA_CONTROL_OPORTUNIDADES'").split(',');
        EXPECT_EQ(vistas.size(), vistasEsperadas);
        for (const QString &vista : vistas) {
            const QString sql = base.valor("SELECT Cs_Sql FROM Consulta WHERE Cs_Cve_Consulta = '"
                                           + vista.section('|', 1) + "'");
            EXPECT_TRUE(sql.contains("{PARAMETROS}")) << vista.toStdString();
            EXPECT_NO_THROW(base.ejecuta(QString(sql).replace("{PARAMETROS}", " (1 = 1) ")));
        }

        // On PostgreSQL the administrator signs in to the server as their own user.
        Ado::DatabaseAddress sinUsuario = base.direccion();
        sinUsuario.user.clear();
        Ingreso ingreso = Pruebas::motor() == Ado::Engine::PostgreSQL ? Ingreso::porServidor(sinUsuario)
                                                                      : Ingreso(false);
        EXPECT_EQ(ingreso.entra("ADMIN", "clave'1234"), std::nullopt);
        EXPECT_EQ(ingreso.entra("admin", contrasena), "ADMIN");
        Ado::Session::configure(base.direccion());
        EXPECT_EQ(
            base.valor("SELECT Ope_Cve_Vendedor || '/' || COALESCE(CAST(Vn_Nivel AS TEXT), '') FROM Operador "
                       "LEFT JOIN Vendedor ON Vn_Cve_Vendedor = Ope_Cve_Vendedor WHERE Ope_Cve_Operador = 'ADMIN'"),
            vendedor);
    }
}

// A database holding any of the suite's tables is refused before the password is asked;
// a password the rules refuse, or a statement failing halfway, undoes everything, and
// takes away a SQLite file the preparation made.
TEST_F(PreparacionDeBase, aRefusedOrFailedPreparationChangesNothing)
{
    int preguntas = 0;
    // An object named like one of the schema's indexes, made once the database was found empty.
    const auto estorba = [this] {
        base.ejecuta("CREATE TABLE Oportunidad_Vendedor (x TEXT)");
        return contrasena;
    };
    const auto sinPreguntar = [&preguntas] { return QString::number(++preguntas); };
    // The database's situation, what made it so, the password given, and what the refusal names.
    const std::tuple<const char *, std::function<void()>, std::function<QString()>, const char *> casos[] = {
        {"ya preparada", [this] { ASSERT_EQ(prepara(), QString()); }, sinPreguntar, "ya tiene tablas de la suite"},
        {"con una sola tabla de la suite", [this] { base.ejecuta("CREATE TABLE bitacora (x TEXT)"); }, sinPreguntar,
         "(bitacora)"},
        {"contraseña en blanco", [] {}, [] { return "  "; }, "no puede estar vacía"},
        {"falla a la mitad", [] {}, estorba, "Oportunidad_Vendedor"},
    };
    for (const auto &[situacion, dejaAsi, clave, buscado] : casos) {
        SCOPED_TRACE(situacion);
        vacia();
        dejaAsi();
        const QString antes = contenido();
        const QString error = prepara(false, clave);
        EXPECT_TRUE(error.contains(buscado, Qt::CaseInsensitive)) << error.toStdString();
        EXPECT_EQ(contenido(), antes);
    }
    EXPECT_EQ(preguntas, 0);
}

// Given a database as the field has it: the tables of esquema.sql and no version.
class VersionDelEsquema : public testing::Test
{
protected:
    // The error actualizaEsquema raised, or "" when it raised none.
    QString errorAlActualizar() const
    {
        return Pruebas::descripcionDe([&] { Datos::actualizaEsquema(*base.conexion()); });
    }

    int version() const { return Datos::versionDeLaBase(*base.conexion()); }

    Pruebas::BaseDePrueba base{1};
};

// The upgrade runs once, keeps the rows and leaves the database where a new one starts. Then
// a version newer than the program's is refused untouched; and where a later step cannot be
// applied (its table is already there) the earlier steps, done in the same transaction, are
// undone.
TEST_F(VersionDelEsquema, anOldDatabaseIsUpgradedOnceANewerOneIsRefusedAndAFailedStepUndoesTheUpgrade)
{
    base.ejecuta("INSERT INTO Operador (Ope_Cve_Operador, Ope_Nombre) VALUES ('ANA', 'Ana')");
    ASSERT_EQ(version(), 1);
    EXPECT_EQ(errorAlActualizar() + errorAlActualizar(), QString()); // nothing left to do the second time
    EXPECT_EQ(version(), Datos::versionDelPrograma());
    EXPECT_EQ(base.cuenta("Version_Esquema"), 1);
    EXPECT_EQ(base.valor("SELECT Ope_Nombre FROM Operador WHERE Ope_Cve_Operador = 'ANA'"), "Ana");
    EXPECT_EQ(base.cuenta("Operador_Contrasena"), 0);

    const int nueva = Datos::versionDelPrograma() + 1;
    base.ejecuta("UPDATE Version_Esquema SET Ve_Version = " + QString::number(nueva));
    EXPECT_TRUE(errorAlActualizar().contains(QString("versión %1 del esquema").arg(nueva)));
    EXPECT_EQ(version(), nueva);

    base.ejecuta("DROP TABLE Version_Esquema");
    EXPECT_FALSE(errorAlActualizar().isEmpty());
    EXPECT_EQ(version(), 1);
}

} // namespace
