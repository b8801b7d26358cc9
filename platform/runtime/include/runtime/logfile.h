#pragma once

#include "runtime/runtime_export.h"

#include <QByteArray>
#include <QFile>
#include <QMutex>
#include <QString>

namespace Runtime {

// A log file that never grows past a size: when the next line would pass it, the file
// becomes "<name>.1" (the older ".1" becomes ".2", and so on up to the files kept) and a
// new one starts. Lines are written whole, from any thread; other processes appending to
// the same file count towards its size.
class RUNTIME_EXPORT RotatingLogFile
{
public:
    RotatingLogFile(QString path, qint64 maxBytes, int keptFiles);

    void write(const QByteArray &line);

private:
    void rotate();

    QMutex m_mutex;
    QFile m_file;
    const qint64 m_maxBytes;
    const int m_keptFiles;
};

} // namespace Runtime
