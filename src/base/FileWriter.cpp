#include "base/FileWriter.h"

#include "base/FileFailureReason.h"
#include "base/VEK_LANGUAGE.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileWriter {

namespace {

Result failure(int errnum)
{
    Result result;
    result.errnum = errnum;
    result.reason =
        FileFailureReason::wording(errnum, QString::fromLocal8Bit(std::strerror(errnum)));
    return result;
}

// The file to write: links are followed, one after another, to the file they
// name (which may not be there yet); empty for links that lead round in a ring.
QString resolved(const QString &path)
{
    QFileInfo info(path);
    for (int hop = 0; hop < 40 && info.isSymLink(); ++hop) {
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            break;
        info.setFile(target);
    }
    return info.isSymLink() ? QString() : info.absoluteFilePath();
}

std::function<void(Kind, const QString &)> &tamper()
{
    static std::function<void(Kind, const QString &)> hook;
    return hook;
}

// Opens a new file of a free, short name beside `target` (a name built from
// the target's would pass the file system's bound for a long target name); the
// umask gives its mode.
int openBeside(const QString &target, QByteArray &name)
{
    const QString stem = QFileInfo(target).absolutePath() + QStringLiteral("/.vek-");
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QFile::encodeName(stem +
                                 QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8,
                                                          16, QLatin1Char('0')));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeEvery(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

// Gives the new file the name of the target; with Existing::Keep never over a
// file already there, checked by the system in the same step.
bool putInPlace(const QByteArray &from, const QByteArray &to, Existing existing)
{
    if (existing == Existing::Replace)
        return std::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without that rename: a second name, which cannot replace either.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}

void syncFolder(const QString &target)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is durable where the file system allows it
        ::close(fd);
    }
}

} // namespace

Result WriteWhole(const QString &path, const QByteArray &bytes, Existing existing,
                  const ReadBack &readBack)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return failure(EINVAL);
    const QString target = resolved(path);
    if (target.isEmpty())
        return failure(ELOOP);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old = {};
    const bool replacing = ::stat(targetName.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return failure(EISDIR);
    if (replacing && existing == Existing::Keep)
        return failure(EEXIST);

    QByteArray temporary;
    const int fd = openBeside(target, temporary);
    if (fd < 0)
        return failure(errno);
    bool ok = writeEvery(fd, bytes);
    int error = ok ? 0 : errno;
    if (ok && replacing && S_ISREG(old.st_mode)) {
        // The replaced file's mode and, where allowed, its owner stay.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // not ours to give away: the writer's user owns the new file
        }
        ::fchmod(fd, old.st_mode & 07777);
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && readBack.check) {
        const QString written = QFile::decodeName(temporary);
        if (tamper())
            tamper()(readBack.kind, written);
        if (const QString otherwise = readBack.check(written); !otherwise.isEmpty()) {
            ::unlink(temporary.constData());
            return Result{false, 0, otherwise, true};
        }
    }
    if (ok && !putInPlace(temporary, targetName, existing)) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return failure(error);
    }
    syncFolder(target);
    return Result{true, 0, {}, false};
}

QString ReadOtherwise(const QString &detail)
{
    return detail.isEmpty() ? VEK_LANGUAGE::GetLanguageText("RaisonRelueAutrement")
                            : VEK_LANGUAGE::GetLanguageText("RaisonRelueDetail",
                                                            {QStringLiteral("%DETAIL%"), detail});
}

void SetReadBackTamper(std::function<void(Kind kind, const QString &written)> hook)
{
    tamper() = std::move(hook);
}

Result CopyWhole(const QString &from, const QString &to, Existing existing)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        Result result;
        result.errnum = FileFailureReason::errnoOf(source.errorString());
        result.reason = FileFailureReason::of(source);
        return result;
    }
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        Result result;
        result.reason = FileFailureReason::of(source);
        return result;
    }
    return WriteWhole(to, bytes, existing);
}

} // namespace FileWriter
