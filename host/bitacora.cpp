#include "bitacora.h"

#include "runtime/log.h"
#include "runtime/logfile.h"

#include <QDateTime>
#include <QStandardPaths>

#include <cstdio>
#include <memory>

namespace Bitacora {
namespace {

// Enough for weeks of ordinary use; a host that logs in a loop cannot fill the disk.
constexpr qint64 tamanoMaximo = 5 * 1024 * 1024;
constexpr int archivosGuardados = 3;

std::unique_ptr<Runtime::RotatingLogFile> &destino()
{
    static std::unique_ptr<Runtime::RotatingLogFile> archivo;
    return archivo;
}

const char *nivel(QtMsgType tipo)
{
    switch (tipo) {
    case QtDebugMsg: return "depuración";
    case QtInfoMsg: return "información";
    case QtWarningMsg: return "aviso";
    case QtCriticalMsg: return "error";
    case QtFatalMsg: return "fatal";
    }
    return "";
}

void escribe(QtMsgType tipo, const QMessageLogContext &contexto, const QString &mensaje)
{
    const QString linea = QStringLiteral("%1 [%2] %3: %4\n")
                              .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                                   QString::fromUtf8(nivel(tipo)),
                                   QString::fromUtf8(contexto.category ? contexto.category : "default"), mensaje);
    const QByteArray texto = linea.toUtf8();
    if (destino())
        destino()->write(texto);
    std::fputs(texto.constData(), stderr);
}

} // namespace

QString archivo()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Teqvaro/teqvaro.log");
}

void instala()
{
    destino() = std::make_unique<Runtime::RotatingLogFile>(archivo(), tamanoMaximo, archivosGuardados);
    qInstallMessageHandler(&escribe);
    Runtime::logMessageBoxes();
}

} // namespace Bitacora
