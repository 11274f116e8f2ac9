#pragma once

#include <QString>

class QFileDevice;

// Why a file could not be read or written, as the user is told inside a
// message: the usual reasons (no such file or folder, not a folder, access
// refused, disk full, read-only file system, input/output error, a folder,
// file too large, name too long) in the user's language, any other in the
// system's own words. Every message that gives the system's
// reason for a file goes through here. Look-ups are made on the GUI thread.
namespace FileFailureReason {

// The language key that words the system error `errnum`; nullptr for an
// error without words of our own.
const char *key(int errnum);

// The error number behind a text of the system (Qt's or the C library's
// wording of it); 0 when the text words none of the usual reasons.
int errnoOf(const QString &systemText);

// The reason for the user: the words of key(errnum), else `systemText`.
QString wording(int errnum, const QString &systemText);

// The reason a system text gives (errnoOf), in the user's words where it can.
QString wording(const QString &systemText);

// The reason why the last operation on `file` failed.
QString of(const QFileDevice &file);

} // namespace FileFailureReason
