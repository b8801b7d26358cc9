#include "bitacora.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdio>

namespace Bitacora {
namespace {

QFile &destino()
{
    static QFile file;
    return file;
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
    if (destino().isOpen()) {
        destino().write(texto);
        destino().flush();
    }
    std::fputs(texto.constData(), stderr);
}

} // namespace

QString archivo()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Teqvaro/teqvaro.log");
}

void instala()
{
    QDir().mkpath(QFileInfo(archivo()).absolutePath());
    destino().setFileName(archivo());
    destino().open(QIODevice::Append | QIODevice::Text);
    qInstallMessageHandler(&escribe);
}

} // namespace Bitacora
