#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The one way this program writes a file. The whole content goes to a new
// file beside the target, every write and the flush are checked, the data is
// synced to the device, the new file is read back by the program's own reader
// of that kind when the caller gives one, and only then does the new file take
// the target's name. Until that last step the old file stays as it was, so a
// full disk, a file size limit or a file that would read otherwise never costs
// the user an older file; on any failure the new file is removed and the reason
// comes back in the user's words.
//
// The new file has a short name of its own (".vek-" and 8 hexadecimal
// digits), so that every name the file system takes can be written. A replaced
// file keeps its mode; a new file gets the usual mode under the umask. A link
// is written through, as the file it names.
namespace FileWriter {

enum class Existing {
    Replace, // an older file of that name is replaced
    Keep,    // fails (EEXIST) when a file of that name is already there
};

// The kinds of files the program writes and opens again, each read back by
// its reader before it takes its name (tst_writtenfiles drives every one).
enum class Kind {
    Curve,              // ".vek", and the curve of a project ("~TEMP.VEK")
    SingleCurve,        // ".mrt"
    Project,            // ".xsc"
    Package,            // ".XOS", from the editor or from a project
    UpdatePackage,      // ".XMJ"
    PackageDescription, // "OS.NFO", "MAJ.NFO" of the editors
    TableInclude,       // the table include files of the export
    Hex,                // a HEX export of the programmer's image
    Xeh,                // a scrambled HEX: export, or firmware of a package
    Count
};

// Reads the new file at `written` (a temporary name beside the target) as the
// program will open it later and compares it with what was meant: empty when
// it reads as meant, else why not, in the user's words, without naming the
// file (the caller's message names the target).
struct ReadBack {
    Kind kind = Kind::Count;
    std::function<QString(const QString &written)> check;
};

struct Result {
    bool ok = false;
    int errnum = 0;        // the system's error number on failure, 0 when read back otherwise
    QString reason;        // why it failed, in the user's words (FileFailureReason)
    bool readBack = false; // refused by its read-back
    explicit operator bool() const { return ok; }
};

Result WriteWhole(const QString &path, const QByteArray &bytes,
                  Existing existing = Existing::Replace, const ReadBack &readBack = {});

// Writes a copy of the file `from` under `to`.
Result CopyWhole(const QString &from, const QString &to, Existing existing = Existing::Replace);

// The reason of a read-back that does not give what was meant, with what
// differs or what its reader said when there is `detail`.
QString ReadOtherwise(const QString &detail = {});

// For tests: `tamper` runs on each new file of a kind with a read-back, before
// it is read back (a disk that gives back other bytes); none when empty.
void SetReadBackTamper(std::function<void(Kind kind, const QString &written)> tamper);

} // namespace FileWriter
