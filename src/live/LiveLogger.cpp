#include "live/LiveLogger.h"

#include "base/FileFailureReason.h"
#include "live/LiveFrameParser.h"
#include "live/LiveLogFormatter.h"

#include <QDir>
#include <QFile>

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

// Creates a file that did not exist; the first free name of the series.
static bool createNew(QFile &file, const QString &folder, const QString &name)
{
    const QString stem = name.chopped(4); // without ".txt"
    for (int n = 1; n < 1000; ++n) {
        const QString candidate = n == 1 ? name : QStringLiteral("%1_%2.txt").arg(stem).arg(n);
        file.setFileName(QDir(folder).filePath(candidate));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        if (!file.exists())
            return false; // not a name clash: the folder refuses the file
    }
    return false;
}

Result EcrireLog(const QByteArray &capture, const QString &folder, const QDateTime &when)
{
    Result result;
    const QByteArray text = TexteLog(capture, &result.lines);
    if (result.lines == 0)
        return result; // NoFrame

    QFile file;
    if (!createNew(file, folder, NomFichierLog(when))) {
        result.status = Result::CannotCreate;
        result.path = file.fileName();
        result.reason = FileFailureReason::of(file);
        result.lines = 0;
        return result;
    }
    result.path = file.fileName();
    const bool written = file.write(text) == text.size() && file.flush();
    if (!written) {
        result.status = Result::WriteFailed;
        result.reason = FileFailureReason::of(file);
        result.lines = 0;
        file.close();
        file.remove(); // no half log left behind
        return result;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        result.status = Result::WriteFailed;
        result.reason = FileFailureReason::of(file);
        result.lines = 0;
        file.remove();
        return result;
    }
    result.status = Result::Written;
    return result;
}

} // namespace LiveLogger
