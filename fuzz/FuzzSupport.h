#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// The readers under test take files: each input is written to one scratch file.
class FuzzScratchFile
{
public:
    FuzzScratchFile(const uint8_t *data, size_t size, const QString &name = QStringLiteral("input"))
        : m_path(folder().filePath(name))
    {
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size));
    }
    ~FuzzScratchFile() { QFile::remove(m_path); }
    const QString &path() const { return m_path; }

private:
    static QTemporaryDir &folder()
    {
        static QTemporaryDir dir;
        return dir;
    }
    QString m_path;
};
