#pragma once

#include "base/FileWriter.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

// Safe building and unpacking of package and project archives.
//
// build() makes the whole archive in a private temporary file beside the
// destination, checks every step, reads the archive back as it will be
// opened and only then renames it over the old one, so a failed save, or an
// archive that would not be opened again, leaves the earlier archive as it was.
// unpack() reads the wanted members, found without regard to case (the first of
// a name), checks them as their reader takes them, and only then puts each on
// its destination file: an archive refused leaves every destination as it was.
// An archive holding a member whose name leaves its folder ("../CODE.XEH") is
// refused whole, naming that member; so is a wanted member past its reader's bound.
namespace PackageArchive {

struct Member {
    QString file;         // file on disk
    QString member;       // bare name in the archive
    int64_t maxBytes = 0; // the most its reader takes; 0: the archive's own bound
};

struct Outcome {
    int32_t status = 0;   // ccZip status: 0 done, 1 warning, above 1 failed
    QString details;      // what failed, one line per fault
    QString reason;       // why, in the user's words (ccZip::reason and its kin)
    bool refused = false; // read whole but refused by its reader: `reason` is the whole message
    QString folder;       // unpacking: the destination folder that could not take the members
    bool ok() const { return status <= 1; }
};

// The wanted members of an archive as read, by member name as wanted; a
// member the archive lacks is not there.
struct Contents {
    Outcome outcome;
    QHash<QString, QByteArray> members;
    bool has(const QString &member) const { return members.contains(member); }
    QByteArray bytes(const QString &member) const { return members.value(member); }
};
Contents read(const QString &archivePath, const QList<Member> &wanted);

// What the reader of an archive takes: empty when it opens the members read,
// else the message saying why not.
using Acceptance = std::function<QString(const Contents &contents)>;

// What build() does with an archive already at its destination.
enum class Existing { Replace, Keep };

// Members whose file does not exist are left out; an archive with no member
// at all is not written (status above 1). With Existing::Keep an archive
// already there stays as it is and the build fails. The archive is read back
// (a file of `kind`) before it takes its name: it must give each member as its
// file holds it, and `accept` must take it.
Outcome build(const QString &archivePath, const QList<Member> &members,
              Existing existing = Existing::Replace, const Acceptance &accept = {},
              FileWriter::Kind kind = FileWriter::Kind::Package);

// Reads the wanted members; when `accept` takes them, each destination file is
// replaced by its member, or deleted when the archive lacks it. Otherwise no
// destination changes.
Outcome unpack(const QString &archivePath, const QList<Member> &wanted,
               const Acceptance &accept = {});

} // namespace PackageArchive
