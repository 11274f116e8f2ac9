#include "firmware/PackageArchive.h"

#include "base/BoundedFile.h"
#include "base/FileFailureReason.h"
#include "base/FileWriter.h"
#include "base/TextEncoding.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/ccZip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>

namespace PackageArchive {

namespace {

Outcome failure(int32_t status, const QString &details, const QString &reason)
{
    Outcome outcome;
    outcome.status = status;
    outcome.details = details.endsWith('\n') ? details : details + '\n';
    outcome.reason = reason;
    return outcome;
}

QString cannotWrite(int systemError = 0)
{
    return ccZip::FailureReason(ccZip::Direction::Writing, systemError);
}

} // namespace

Contents read(const QString &archivePath, const QList<Member> &wanted)
{
    Contents contents;
    ccZip zip;
    zip.Init(archivePath);
    for (const QString &name : zip.Col())
        if (!ccZip::isSafeMemberName(name)) {
            contents.outcome = failure(
                ccZip::ZipErrUnsafe, name + QStringLiteral(": refused, its path leaves its folder"),
                VEK_LANGUAGE::GetLanguageText(
                    "RaisonMembreHorsDossier",
                    {QStringLiteral("{MEMBRE}"), TextEncoding::shownInMessage(name)}));
            return contents;
        }
    for (const Member &m : wanted) {
        QByteArray bytes;
        const int32_t status = zip.ReadMember(m.member, bytes, m.maxBytes);
        if (status == ccZip::ZipErrNotFound)
            continue; // the archive lacks it
        if (status == ccZip::ZipErrTooLarge && m.maxBytes > 0)
            contents.outcome =
                failure(status, zip.GetZipInfo(),
                        VEK_LANGUAGE::GetLanguageText("RaisonMembreTropGrand",
                                                      {QStringLiteral("{MEMBRE}"), m.member,
                                                       QStringLiteral("{OCTETS}"),
                                                       QString::number(m.maxBytes)}));
        else if (status != ccZip::ZipOk)
            contents.outcome = failure(status, zip.GetZipInfo(), zip.reason());
        if (status != ccZip::ZipOk)
            return contents;
        contents.members.insert(m.member, bytes);
    }
    return contents;
}

namespace {

// The archive at `written` read as it will be opened: each member as its file
// holds it, no other of theirs, and taken by `accept`.
QString readBack(const QString &written, const QList<Member> &members, const Acceptance &accept)
{
    const Contents back = read(written, members);
    if (!back.outcome.ok())
        return FileWriter::ReadOtherwise(back.outcome.reason);
    for (const Member &m : members) {
        const bool meant = QFileInfo(m.file).isFile();
        if (back.has(m.member) != meant)
            return FileWriter::ReadOtherwise();
        if (!meant)
            continue;
        const BoundedFile::Read file = BoundedFile::readAll(m.file, ccZip::MaxArchiveBytes);
        if (!file.ok || file.bytes != back.bytes(m.member))
            return FileWriter::ReadOtherwise();
    }
    if (accept)
        if (const QString refusal = accept(back); !refusal.isEmpty())
            return VEK_LANGUAGE::GetLanguageText("RaisonRelueRefusee", {"%RAISON%", refusal});
    return {};
}

} // namespace

Outcome build(const QString &archivePath, const QList<Member> &members, Existing existing,
              const Acceptance &accept, FileWriter::Kind kind)
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

    // Read back member by member (readBack) before it takes its name.
    BoundedFile::Read built = BoundedFile::readAll(temporary, ccZip::MaxArchiveBytes);
    if (!built.ok)
        return failure(ccZip::ZipErrWrite,
                       archivePath + QStringLiteral(": ") + BoundedFile::userReason(built),
                       ccZip::FailureReason(ccZip::Direction::Reading, 0));
    const FileWriter::Result written = FileWriter::WriteWhole(
        archivePath, built.bytes,
        existing == Existing::Keep ? FileWriter::Existing::Keep : FileWriter::Existing::Replace,
        {kind, [&](const QString &back) { return readBack(back, members, accept); }});
    if (!written)
        return failure(ccZip::ZipErrWrite, archivePath + QStringLiteral(": ") + written.reason,
                       written.readBack ? written.reason : cannotWrite(written.errnum));
    return {};
}

Outcome unpack(const QString &archivePath, const QList<Member> &wanted, const Acceptance &accept)
{
    if (wanted.isEmpty())
        return {};
    const Contents contents = read(archivePath, wanted);
    if (!contents.outcome.ok())
        return contents.outcome;
    if (accept)
        if (const QString refusal = accept(contents); !refusal.isEmpty()) {
            Outcome refused;
            refused.status = ccZip::ZipErrUnsafe;
            refused.reason = refusal;
            refused.refused = true; // the message says it all
            return refused;
        }

    // Every member is written whole beside its destination before any takes its place.
    const QString folder = QFileInfo(wanted.first().file).absolutePath();
    const auto cannotTake = [&folder](const QString &details, int systemError) {
        Outcome outcome = failure(ccZip::ZipErrWrite, details, cannotWrite(systemError));
        outcome.folder = QDir::toNativeSeparators(folder);
        return outcome;
    };
    QTemporaryDir work(folder + QStringLiteral("/.vek-unpack-XXXXXX"));
    if (!work.isValid())
        return cannotTake(FileFailureReason::wording(work.errorString()),
                          FileFailureReason::errnoOf(work.errorString()));
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (!contents.has(wanted[i].member))
            continue;
        const FileWriter::Result written = FileWriter::WriteWhole(work.filePath(QString::number(i)),
                                                                  contents.bytes(wanted[i].member));
        if (!written)
            return cannotTake(wanted[i].file + QStringLiteral(": ") + written.reason,
                              written.errnum);
    }
    Outcome outcome;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        const QByteArray destination = QFile::encodeName(wanted[i].file);
        if (!contents.has(wanted[i].member)) {
            QFile::remove(wanted[i].file); // the archive lacks it: its destination stays absent
        } else if (std::rename(QFile::encodeName(work.filePath(QString::number(i))).constData(),
                               destination.constData()) != 0) {
            outcome =
                failure(ccZip::ZipErrWrite, wanted[i].file + QStringLiteral(": cannot be written"),
                        cannotWrite(errno));
        }
    }
    return outcome;
}

} // namespace PackageArchive
