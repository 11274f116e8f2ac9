#include "live/LiveLogger.h"

#include "base/FileWriter.h"
#include "live/LiveFrameParser.h"
#include "live/LiveLogFormatter.h"

#include <QDir>

#include <cerrno>

namespace LiveLogger {

QString NomFichierLog(const QDateTime &when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return QStringLiteral("VEK-LOGGER__%1-%2-%3_%4H%5.txt")
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(t.hour())
        .arg(t.minute());
}

QByteArray TexteLog(const QByteArray &capture, int *lineCount)
{
    QByteArray text;
    int lines = 0;
    LiveFrameParser parser;
    const auto addLine = [&](const TrameLive &frame) {
        text += LigneLogLive(frame).toLatin1();
        text += "\r\n";
        ++lines;
    };
    parser.feed(capture, addLine);
    parser.finish(addLine);
    if (lineCount)
        *lineCount = lines;
    return text;
}

Result EcrireLog(const QByteArray &capture, const QString &folder, const QDateTime &when)
{
    Result result;
    const QByteArray text = TexteLog(capture, &result.lines);
    if (result.lines == 0)
        return result; // NoFrame

    // The first free name of the series: an earlier log is never replaced.
    const QString name = NomFichierLog(when);
    const QString stem = name.chopped(4); // without ".txt"
    FileWriter::Result written;
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? name : QStringLiteral("%1_%2.txt").arg(stem).arg(n);
        result.path = QDir(folder).filePath(candidate);
        written = FileWriter::WriteWhole(result.path, text, FileWriter::Existing::Keep);
        if (written.errnum != EEXIST)
            break;
    }
    if (written) {
        result.status = Result::Written;
        return result;
    }
    result.lines = 0;
    result.reason = written.reason;
    switch (written.errnum) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
        result.status = Result::CannotCreate; // the folder refuses the file
        break;
    default:
        result.status = Result::WriteFailed;
        break;
    }
    return result;
}

} // namespace LiveLogger
