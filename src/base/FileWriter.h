#pragma once

#include <QByteArray>
#include <QString>

// The one way this program writes a file. The whole content goes to a new
// file beside the target, every write and the flush are checked, the data is
// synced to the device, and only then does the new file take the target's
// name. Until that last step the old file stays as it was, so a full disk or a
// file size limit never costs the user an older file; on any failure the new
// file is removed and the reason comes back in the user's words.
//
// A replaced file keeps its mode; a new file gets the usual mode under the
// umask. A link is written through, as the file it names.
namespace FileWriter {

enum class Existing {
    Replace, // an older file of that name is replaced
    Keep,    // fails (EEXIST) when a file of that name is already there
};

struct Result {
    bool ok = false;
    int errnum = 0;            // the system's error number on failure
    QString reason;            // why it failed, in the user's words (FileFailureReason)
    bool sourceFailed = false; // CopyWhole: the file copied could not be read
    explicit operator bool() const { return ok; }
};

Result WriteWhole(const QString &path, const QByteArray &bytes,
                  Existing existing = Existing::Replace);

// Writes a copy of the file `from` under `to`.
Result CopyWhole(const QString &from, const QString &to, Existing existing = Existing::Replace);

} // namespace FileWriter
