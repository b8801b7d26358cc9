#include "runtime/logfile.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>

namespace Runtime {

RotatingLogFile::RotatingLogFile(QString path, qint64 maxBytes, int keptFiles)
    : m_file(std::move(path))
    , m_maxBytes(maxBytes)
    , m_keptFiles(keptFiles)
{
    QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
    m_file.open(QIODevice::Append);
}

void RotatingLogFile::write(const QByteArray &line)
{
    const QMutexLocker guard(&m_mutex);
    if (!m_file.isOpen())
        return;
    if (m_file.size() > 0 && m_file.size() + line.size() > m_maxBytes)
        rotate();
    m_file.write(line);
    m_file.flush();
}

// A file another process still writes to is renamed under it; its lines end up in the
// older file, none is lost.
void RotatingLogFile::rotate()
{
    const QString name = m_file.fileName();
    const auto numbered = [&name](int number) { return name + QLatin1Char('.') + QString::number(number); };
    m_file.close();
    QFile::remove(numbered(m_keptFiles - 1));
    for (int number = m_keptFiles - 2; number >= 1; --number)
        QFile::rename(numbered(number), numbered(number + 1));
    if (m_keptFiles > 1)
        QFile::rename(name, numbered(1));
    else
        QFile::remove(name);
    m_file.open(QIODevice::Append);
}

} // namespace Runtime
