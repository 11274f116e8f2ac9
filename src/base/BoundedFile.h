#pragma once

#include <QByteArray>
#include <QString>

// Files from outside (language files, descriptions, catalogues, curves, HEX
// files) are read whole, but never more than a bound: a huge file, or a path
// that names a device which never ends, is refused instead of filling memory.
namespace BoundedFile {

// Bounds on each kind of input, far above any genuine file of that kind.
constexpr qint64 MaxIniFileBytes = 1024 * 1024;      // language files, package descriptions
constexpr qint64 MaxTextFileBytes = 4 * 1024 * 1024; // curve and table include files
constexpr qint64 MaxCatalogueBytes = 1024 * 1024;    // device catalogues
constexpr qint64 MaxHexFileBytes = 8 * 1024 * 1024;  // Intel HEX and scrambled HEX files

struct Read {
    bool ok = false;
    bool opened = false; // false: missing or not readable at all
    bool tooLarge = false;
    QByteArray bytes;
    QString error;    // why it failed, naming the file, in the system's words
    QString path;     // the file asked for
    QString reason;   // the system's reason alone
    qint64 limit = 0; // the bound a file too large passed
};

// The whole file at `path`, when it holds at most `limit` bytes.
Read readAll(const QString &path, qint64 limit);

// "<path>: larger than <limit> bytes, not read"
QString tooLargeMessage(const QString &path, qint64 limit);

// Why the file could not be read, naming it, with the usual reasons in the
// user's language (FileFailureReason): for messages, on the GUI thread. The
// language files themselves are read before their texts exist: their
// failures keep `error`.
QString userError(const Read &read);
// The same reason without the file's name, for a message that names the file itself.
QString userReason(const Read &read);

} // namespace BoundedFile
