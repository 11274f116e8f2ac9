#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <csignal>
#include <sys/resource.h>

// Runs the Info-ZIP command-line tools, which this program does not share any
// code with, to make and check archives in the tests.
namespace ZipTestTools
{

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

} // namespace ZipTestTools
