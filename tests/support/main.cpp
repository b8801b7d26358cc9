// Every test program runs with Qt's offscreen platform and its own settings folders, so
// tests never touch the user's settings, component registry or demo database.
//
// A suite whose name ends in "PostgreSQL" needs the shared server (row locks, two desktops)
// and runs only against it; one ending in "SQLite" runs only against SQLite. The other
// engine's run leaves them out instead of reporting them as skipped.
#include "basedeprueba.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void leaveOutTheOtherEnginesSuites()
{
    const std::string otherEngine = Pruebas::motor() == Ado::Engine::PostgreSQL ? "*SQLite.*" : "*PostgreSQL.*";
    std::string filter = GTEST_FLAG_GET(filter);
    filter += filter.find('-') == std::string::npos ? "-" : ":";
    GTEST_FLAG_SET(filter, filter + otherEngine);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    qputenv("TEQVARO_REGISTRO", home.filePath(QStringLiteral("config/Teqvaro/componentes.ini")).toLocal8Bit());
    qputenv("TEQVARO_REGISTRO_SISTEMA", home.filePath(QStringLiteral("sistema/componentes.ini")).toLocal8Bit());

    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--database=postgresql") == 0)
            Pruebas::estableceMotor(Ado::Engine::PostgreSQL);
    }
    leaveOutTheOtherEnginesSuites();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
