#include "base/BoundedFile.h"

#include "base/FileFailureReason.h"
#include "base/VEK_LANGUAGE.h"

#include <QFile>

#include <algorithm>

namespace BoundedFile {

namespace {

Read failed(const QString &error, bool opened, bool tooLarge = false)
{
    Read result;
    result.opened = opened;
    result.tooLarge = tooLarge;
    result.error = error;
    return result;
}

// The system's reason why `file` at `path` could not be read.
Read failed(const QString &path, const QFile &file, bool opened)
{
    Read result = failed(path + QStringLiteral(": ") + file.errorString(), opened);
    result.path = path;
    result.reason = file.errorString();
    return result;
}

Read tooLarge(const QString &path, qint64 limit)
{
    Read result = failed(tooLargeMessage(path, limit), true, true);
    result.path = path;
    result.limit = limit;
    return result;
}

} // namespace

Read readAll(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(path, file, false);
    if (file.size() > limit)
        return tooLarge(path, limit);

    // Devices and growing files say nothing true by their size: read in pieces,
    // one byte past the bound at most.
    Read result;
    result.opened = true;
    result.bytes.reserve(file.size());
    char piece[64 * 1024];
    qint64 got = 0;
    while (result.bytes.size() <= limit) {
        const qint64 wanted =
            std::min<qint64>(qint64(sizeof piece), limit + 1 - result.bytes.size());
        if ((got = file.read(piece, wanted)) <= 0)
            break;
        result.bytes.append(piece, got);
    }
    if (result.bytes.size() > limit)
        return tooLarge(path, limit);
    if (got < 0)
        return failed(path, file, true);
    result.ok = true;
    return result;
}

QString tooLargeMessage(const QString &path, qint64 limit)
{
    return QStringLiteral("%1: larger than %2 bytes, not read").arg(path).arg(limit);
}

QString userError(const Read &read)
{
    if (read.reason.isEmpty() && !read.tooLarge)
        return read.error;
    return read.path + QStringLiteral(": ") + userReason(read);
}

QString userReason(const Read &read)
{
    if (read.tooLarge)
        return VEK_LANGUAGE::GetLanguageText(
            QStringLiteral("MessTailleDepassee"),
            {QStringLiteral("{OCTETS}"), QString::number(read.limit)});
    return read.reason.isEmpty() ? read.error : FileFailureReason::wording(read.reason);
}

} // namespace BoundedFile
