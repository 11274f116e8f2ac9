#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

// Runs the Info-ZIP command-line tools, which this program does not share any
// code with, to make and check archives in the tests.
namespace ZipTestTools {

struct Run {
    int exitCode = -1;
    QByteArray output;
};

inline Run run(const QString &program, const QStringList &args, const QString &folder,
               const QByteArray &input = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAll()};
}

// Renames one member of an archive (zipnote), e.g. to a path no archiver writes itself.
inline bool renameMember(const QString &archive, const QString &from, const QString &to,
                         const QString &folder)
{
    const QByteArray script = "@ " + from.toUtf8() + "\n@=" + to.toUtf8() +
                              "\n@ (comment above this line)\n"
                              "@ (zip file comment below this line)\n";
    return run(QStringLiteral("zipnote"), {QStringLiteral("-w"), archive}, folder, script)
               .exitCode == 0;
}

// While alive, files written by this process cannot grow beyond `bytes`, as on
// a device that is full (also for root, unlike permissions).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit m_saved{};
};

// Bytes that do not compress.
inline QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = char(seed >> 24);
    }
    return bytes;
}

// Archives no archiver writes: central-directory entries that share one local
// record and its data, and sizes or check values that lie.
namespace Crafted {

struct Data {
    QByteArray content; // what the record unpacks to
    bool deflated = true;
};

struct Entry {
    QString name;
    int data = 0;             // index of the record it points at
    qint64 declaredSize = -1; // size it declares; -1: the true one
    bool wrongCheck = false;  // a CRC that does not match
};

inline quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

inline void put16(QByteArray &out, quint32 value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

inline void put32(QByteArray &out, quint32 value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// The record's data as stored: raw deflate (qCompress less its zlib framing) or as is.
inline QByteArray stored(const Data &data)
{
    if (!data.deflated)
        return data.content;
    const QByteArray z = qCompress(data.content, 9);
    return z.mid(6, z.size() - 10);
}

inline QByteArray archive(const QList<Data> &records, const QList<Entry> &entries)
{
    QByteArray out;
    QList<quint32> offsets;
    QList<QByteArray> packed;
    QList<quint32> checks;
    for (int i = 0; i < records.size(); ++i) {
        const Data &d = records.at(i);
        packed << stored(d);
        checks << crc32(d.content);
        offsets << quint32(out.size());
        const QByteArray name = "data" + QByteArray::number(i);
        put32(out, 0x04034b50);
        put16(out, 20);
        put16(out, 0);
        put16(out, d.deflated ? 8 : 0);
        put16(out, 0);
        put16(out, 0x21);
        put32(out, checks.last());
        put32(out, quint32(packed.last().size()));
        put32(out, quint32(d.content.size()));
        put16(out, quint32(name.size()));
        put16(out, 0);
        out += name + packed.last();
    }
    const quint32 directory = quint32(out.size());
    for (const Entry &e : entries) {
        const Data &d = records.at(e.data);
        const QByteArray name = e.name.toUtf8();
        put32(out, 0x02014b50);
        put16(out, 20);
        put16(out, 20);
        put16(out, 0);
        put16(out, d.deflated ? 8 : 0);
        put16(out, 0);
        put16(out, 0x21);
        put32(out, checks.at(e.data) ^ (e.wrongCheck ? 1u : 0u));
        put32(out, quint32(packed.at(e.data).size()));
        put32(out, quint32(e.declaredSize < 0 ? d.content.size() : e.declaredSize));
        put16(out, quint32(name.size()));
        put32(out, 0); // extra and comment lengths
        put32(out, 0); // disk, internal attributes
        put32(out, 0); // external attributes
        put32(out, offsets.at(e.data));
        out += name;
    }
    const quint32 size = quint32(out.size()) - directory;
    put32(out, 0x06054b50);
    put32(out, 0);
    put16(out, quint32(entries.size()));
    put16(out, quint32(entries.size()));
    put32(out, size);
    put32(out, directory);
    put16(out, 0);
    return out;
}

} // namespace Crafted

} // namespace ZipTestTools
