#include "firmware/PackageArchive.h"

#include "base/BoundedFile.h"
#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "firmware/ccZip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

namespace PackageArchive {

namespace {

Outcome failure(int32_t status, const QString &details, const QString &reason)
{
    return Outcome{status, details.endsWith('\n') ? details : details + '\n', reason};
}

QString cannotWrite(int systemError = 0)
{
    return ccZip::FailureReason(ccZip::Direction::Writing, systemError);
}

} // namespace

Outcome build(const QString &archivePath, const QList<Member> &members, Existing existing)
{
    if (archivePath.contains(QChar(0))) // the system would see a shorter path
        return failure(ccZip::ZipErrWrite, archivePath + QStringLiteral(": not a usable path"),
                       cannotWrite());
    const QFileInfo destination(archivePath);
    const QString folder = destination.absolutePath();
    if (destination.isDir())
        return failure(ccZip::ZipErrWrite, archivePath + QStringLiteral(": is a folder"),
                       cannotWrite(EISDIR));
    if (!QFileInfo(folder).isDir())
        return failure(ccZip::ZipErrWrite, folder + QStringLiteral(": no such folder"),
                       cannotWrite(ENOENT));

    QTemporaryDir work(folder + QStringLiteral("/.vek-save-XXXXXX"));
    if (!work.isValid())
        return failure(ccZip::ZipErrWrite,
                       folder + QStringLiteral(": ") +
                           FileFailureReason::wording(work.errorString()),
                       cannotWrite(FileFailureReason::errnoOf(work.errorString())));
    const QString temporary = work.filePath(QStringLiteral("archive.zip"));
    const QString staging = work.filePath(QStringLiteral("members"));
    if (!QDir().mkdir(staging))
        return failure(ccZip::ZipErrWrite, staging + QStringLiteral(": cannot create"),
                       cannotWrite(errno));

    ccZip zip;
    zip.Init(temporary);
    zip.setComm(QString());
    zip.setLevel(5);
    for (const Member &m : members) {
        if (!QFileInfo(m.file).isFile())
            continue; // absent files are simply not part of the archive
        // Files are added under their bare names, so each one is staged under its member
        // name: a link where the folder allows it, else a copy.
        const QString staged = staging + '/' + m.member;
        if (!QFile::link(QFileInfo(m.file).absoluteFilePath(), staged) &&
            !FileWriter::CopyWhole(m.file, staged))
            return failure(ccZip::ZipErrWrite, m.file + QStringLiteral(": cannot be copied"),
                           cannotWrite());
        const qsizetype reported = zip.GetZipInfo().size();
        const int32_t status = zip.AddFile(staged, 0, -1);
        if (status != ccZip::ZipOk) // the user knows the archive by its own name
            return failure(status, zip.GetZipInfo().mid(reported).replace(temporary, archivePath),
                           zip.reason());
    }
    if (zip.count() == 0)
        return failure(ccZip::ZipErrNotFound, archivePath + QStringLiteral(": nothing to save"),
                       ccZip::FailureReason(ccZip::Direction::Reading, ENOENT));

    // Read back what was written before it replaces anything.
    ccZip check;
    check.Init(temporary);
    if (check.Col() != zip.Col())
        return failure(ccZip::ZipErrArchive, archivePath + QStringLiteral(": written incompletely"),
                       cannotWrite());
    BoundedFile::Read built = BoundedFile::readAll(temporary, ccZip::MaxArchiveBytes);
    if (!built.ok)
        return failure(ccZip::ZipErrWrite,
                       archivePath + QStringLiteral(": ") + BoundedFile::userReason(built),
                       ccZip::FailureReason(ccZip::Direction::Reading, 0));
    const FileWriter::Result written = FileWriter::WriteWhole(
        archivePath, built.bytes,
        existing == Existing::Keep ? FileWriter::Existing::Keep : FileWriter::Existing::Replace);
    if (!written)
        return failure(ccZip::ZipErrWrite, archivePath + QStringLiteral(": ") + written.reason,
                       cannotWrite(written.errnum));
    return {};
}

Outcome unpack(const QString &archivePath, const QList<Member> &wanted)
{
    Outcome outcome;
    auto fail = [&outcome](int32_t status, const QString &details, const QString &reason) {
        if (outcome.status <= ccZip::ZipWarning) {
            outcome.status = status;
            outcome.reason = reason;
        }
        outcome.details += details.endsWith('\n') ? details : details + '\n';
    };
    for (const Member &m : wanted)
        QFile::remove(m.file);
    if (wanted.isEmpty())
        return outcome;

    // Members land in a private folder beside their destination, never in place.
    QTemporaryDir work(QFileInfo(wanted.first().file).absolutePath() +
                       QStringLiteral("/.vek-unpack-XXXXXX"));
    if (!work.isValid()) {
        fail(ccZip::ZipErrWrite, FileFailureReason::wording(work.errorString()),
             cannotWrite(FileFailureReason::errnoOf(work.errorString())));
        outcome.destinationFailed = true;
        return outcome;
    }
    ccZip zip;
    zip.Init(archivePath);
    for (const Member &m : wanted) {
        const int32_t status = zip.Decompress(work.path(), m.member);
        if (status == ccZip::ZipErrNotFound)
            continue; // the archive lacks it: its destination stays absent
        if (status > ccZip::ZipWarning)
            fail(status, zip.GetZipInfo(), zip.reason());
        if (status == ccZip::ZipErrWrite) // read from the archive, not written here
            outcome.destinationFailed = true;
        if (status == ccZip::ZipErrArchive)
            break;
        // The first member of that name in the archive, whatever its case, is the one taken.
        const QStringList &extracted = zip.extractedFiles();
        if (!extracted.isEmpty() && !QFile::rename(extracted.first(), m.file)) {
            fail(ccZip::ZipErrWrite, m.file + QStringLiteral(": cannot be written"), cannotWrite());
            outcome.destinationFailed = true;
        }
    }
    return outcome;
}

} // namespace PackageArchive
