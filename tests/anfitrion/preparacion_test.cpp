// Preparing a new database: from nothing to a board the administrator signs in to, the demo's
// rows on request, and a database that already holds the suite's tables, or a preparation
// that fails halfway, leaving everything as it was.
#include "basedeprueba.h"

#include "ingreso.h"

#include "ado/session.h"
#include "datos/preparacion.h"
#include "datos/version.h"
#include "runtime/error.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString contrasena = QStringLiteral("Clave'1");

class PreparacionDeBase : public testing::Test
{
protected:
    // The test database, emptied: a SQLite file that is not there, a PostgreSQL schema
    // without tables.
    PreparacionDeBase() { vacia(); }

    void vacia() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite) {
            Ado::Session::reset();
            QFile::remove(base.direccion().path);
        } else {
            base.ejecuta(QStringLiteral("SET client_min_messages = warning"));
            base.ejecuta(QStringLiteral("DROP SCHEMA public CASCADE"));
            base.ejecuta(QStringLiteral("CREATE SCHEMA public"));
        }
    }

    // The error the preparation raised, or "" when it prepared the database.
    QString prepara(const Datos::Preparacion &preparacion) const
    {
        try {
            Datos::preparaBase(base.direccion(), preparacion);
        } catch (const Runtime::RuntimeError &error) {
            return error.description();
        }
        return {};
    }

    QString prepara(bool demo = false) const
    {
        Datos::Preparacion preparacion;
        preparacion.demo = demo;
        preparacion.oportunidadesDemo = 12;
        preparacion.contrasena = [] { return contrasena; };
        return prepara(preparacion);
    }

    // What a second look at the database finds: its suite tables and its rows of each.
    QString contenido() const
    {
        if (Pruebas::motor() == Ado::Engine::SQLite && !QFile::exists(base.direccion().path))
            return QStringLiteral("sin archivo");
        QString texto;
        for (const QString &tabla : Datos::tablasDeLaSuite(*base.conexion())) {
            texto += QStringLiteral("%1:%2 ").arg(tabla).arg(base.cuenta(tabla));
            if (tabla.compare(QStringLiteral("Operador_Contrasena"), Qt::CaseInsensitive) == 0)
                texto += base.valor(QStringLiteral("SELECT MAX(Oc_Huella) FROM Operador_Contrasena"));
        }
        return texto;
    }

    Pruebas::BaseDePrueba base;
};

// Given an empty database, the preparation leaves one the board can use: the program's
// schema version, coloured states, causes to close with, every listed view stored and
// runnable, and an administrator who signs in with the password given and sees everything.
TEST_F(PreparacionDeBase, anEmptyDatabaseBecomesOneTheAdministratorSignsInTo)
{
    struct Caso
    {
        bool demo;
        int vistas;
        int oportunidades;
        QString vendedor; // of the administrator, ADMIN, and its level; the demo's has none
    };
    for (const Caso &caso : {Caso{false, 1, 0, QStringLiteral("ADMIN/3")}, Caso{true, 2, 12, QStringLiteral("/")}}) {
        SCOPED_TRACE(caso.demo ? "con la demostración" : "la configuración inicial");
        vacia();
        ASSERT_EQ(prepara(caso.demo), QString());

        EXPECT_EQ(Datos::versionDeLaBase(*base.conexion()), Datos::versionDelPrograma());
        EXPECT_GE(base.cuenta(QStringLiteral("Estado_Oportunidad")), 5);
        EXPECT_EQ(base.cuenta(QStringLiteral("Estado_Oportunidad"), QStringLiteral("Eo_Hexadecimal NOT LIKE '&H%'")),
                  0);
        EXPECT_GE(base.cuenta(QStringLiteral("Causa_Oportunidad_Perdida"), QStringLiteral("Es_Cve_Estado = 'AC'")), 1);
        EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad")), caso.oportunidades);
        const QStringList vistas = base.valor(QStringLiteral("SELECT Va_Valor FROM Variable "
                                                             "WHERE Va_Nombre = 'CRM_VISTA_CONTROL_OPORTUNIDADES'"))
                                       .split(QLatin1Char(','));
        EXPECT_EQ(vistas.size(), caso.vistas);
        for (const QString &vista : vistas) {
            const QString sql = base.valor(QStringLiteral("SELECT Cs_Sql FROM Consulta WHERE Cs_Cve_Consulta = '%1'")
                                               .arg(vista.section(QLatin1Char('|'), 1)));
            EXPECT_TRUE(sql.contains(QStringLiteral("{PARAMETROS}"))) << vista.toStdString();
            EXPECT_NO_THROW(
                base.ejecuta(QString(sql).replace(QStringLiteral("{PARAMETROS}"), QStringLiteral(" (1 = 1) "))));
        }

        Ingreso ingreso(false);
        EXPECT_EQ(ingreso.entra(QStringLiteral("admin"), contrasena), QStringLiteral("ADMIN"));
        EXPECT_EQ(ingreso.entra(QStringLiteral("ADMIN"), QStringLiteral("clave'1")), std::nullopt);
        EXPECT_EQ(base.valor(QStringLiteral("SELECT Ope_Cve_Vendedor || '/' || COALESCE(CAST(Vn_Nivel AS TEXT), '') "
                                            "FROM Operador LEFT JOIN Vendedor ON Vn_Cve_Vendedor = Ope_Cve_Vendedor "
                                            "WHERE Ope_Cve_Operador = 'ADMIN'")),
                  caso.vendedor);
    }
}

// A database holding any of the suite's tables is refused before the password is asked;
// a password the rules refuse, or a statement failing halfway, undoes everything, and
// takes away a SQLite file the preparation made.
TEST_F(PreparacionDeBase, aRefusedOrFailedPreparationChangesNothing)
{
    struct Caso
    {
        const char *situacion;
        std::function<void()> antes;
        std::function<QString()> contrasena;
        QString error;
    };
    int preguntas = 0;
    const auto sinPreguntar = [&preguntas] { return QString::number(++preguntas); };
    const Caso casos[] = {
        {"ya preparada", [this] { ASSERT_EQ(prepara(), QString()); }, sinPreguntar,
         QStringLiteral("ya tiene tablas de la suite")},
        {"con una sola tabla de la suite", [this] { base.ejecuta(QStringLiteral("CREATE TABLE bitacora (x TEXT)")); },
         sinPreguntar, QStringLiteral("(bitacora)")},
        {"contraseña en blanco", [] {}, [] { return QStringLiteral("  "); }, QStringLiteral("no puede estar vacía")},
        // An object named like one of the schema's indexes, made once the database was found empty.
        {"falla a la mitad", [] {},
         [this] {
             base.ejecuta(QStringLiteral("CREATE TABLE Oportunidad_Vendedor (x TEXT)"));
             return contrasena;
         },
         QStringLiteral("Oportunidad_Vendedor")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.situacion);
        vacia();
        caso.antes();
        const QString antes = contenido();
        Datos::Preparacion preparacion;
        preparacion.contrasena = caso.contrasena;

        const QString error = prepara(preparacion);

        EXPECT_TRUE(error.contains(caso.error, Qt::CaseInsensitive)) << error.toStdString();
        EXPECT_EQ(contenido(), antes);
    }
    EXPECT_EQ(preguntas, 0);
}

// The command as an administrator types it: it prepares the database and says so, the
// administrator's board then opens on it, and a second preparation is refused.
TEST_F(PreparacionDeBase, theProgramPreparesADatabaseItsAdministratorThenOpens)
{
    struct Caso
    {
        QStringList argumentos;
        int codigo;
        QString dice;
    };
    const QTemporaryDir carpeta;
    const QString captura = carpeta.filePath(QStringLiteral("tablero.png"));
    const Caso casos[] = {
        {{QStringLiteral("--help")}, 0, QStringLiteral("--prepara-base <url>")},
        {{QStringLiteral("--registra"), QStringLiteral(KLD251_BIBLIOTECA)}, 0, QString()},
        {{QStringLiteral("--prepara-base"), base.url(), QStringLiteral("--operador"), QStringLiteral("jefa")},
         0,
         QStringLiteral("El operador JEFA entra con la contraseña dada")},
        {{QStringLiteral("--bd"), base.url(), QStringLiteral("--operador"), QStringLiteral("jefa"),
          QStringLiteral("--screenshot"), captura},
         0,
         QString()},
        {{QStringLiteral("--prepara-base"), base.url(), QStringLiteral("--demo")},
         1,
         QStringLiteral("ya tiene tablas de la suite")},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.argumentos.join(QLatin1Char(' ')).toStdString());
        QProcess programa;
        programa.start(QStringLiteral(TEQVARO_PROGRAMA), caso.argumentos);
        programa.write(contrasena.toUtf8() + '\n');
        programa.closeWriteChannel();
        ASSERT_TRUE(programa.waitForFinished(60000));
        const QString salida = QString::fromUtf8(programa.readAllStandardOutput() + programa.readAllStandardError());
        EXPECT_EQ(programa.exitCode(), caso.codigo) << salida.toStdString();
        EXPECT_TRUE(salida.contains(caso.dice)) << salida.toStdString();
    }
    EXPECT_TRUE(QFile::exists(captura));
    EXPECT_EQ(base.cuenta(QStringLiteral("Oportunidad")), 0);
}

} // namespace
