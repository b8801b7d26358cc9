// The log: capped files, whole lines from any thread, every message box shown.
#include "runtime/log.h"
#include "runtime/logfile.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

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
