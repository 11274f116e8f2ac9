#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// Safe building and unpacking of package and project archives.
//
// build() makes the whole archive in a private temporary file beside the
// destination, checks every step and only then renames it over the old one, so
// a failed save leaves the earlier archive as it was. unpack() extracts only the
// wanted members, found without regard to case (the first of a name), through a
// private temporary folder, and moves each onto its destination file.
namespace PackageArchive {

struct Member {
    QString file;   // file on disk
    QString member; // bare name in the archive
};

struct Outcome {
    int32_t status = 0; // ccZip status: 0 done, 1 warning, above 1 failed
    QString details;    // what failed, one line per fault
    QString reason;     // why, in the user's words (ccZip::reason and its kin)
    // unpack(): the folder of the members could not take them (the archive was read)
    bool destinationFailed = false;
    bool ok() const { return status <= 1; }
};

// What build() does with an archive already at its destination.
enum class Existing { Replace, Keep };

// Members whose file does not exist are left out; an archive with no member
// at all is not written (status above 1). With Existing::Keep an archive
// already there stays as it is and the build fails.
Outcome build(const QString &archivePath, const QList<Member> &members,
              Existing existing = Existing::Replace);

// For each wanted member: its destination file is deleted, then the member, when
// the archive has it, is put there. A member the archive lacks is no failure.
Outcome unpack(const QString &archivePath, const QList<Member> &wanted);

} // namespace PackageArchive
