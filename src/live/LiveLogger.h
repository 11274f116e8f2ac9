#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Turns the raw capture of the live link into a text log: one line per valid
// frame, CR LF line ends, in a new file named after the date and time.
namespace LiveLogger {

// "VEK-LOGGER__2007-12-7_9H5.txt" (numbers without leading zeros).
QString NomFichierLog(const QDateTime &when);

struct Result {
    enum Status { Written, NoFrame, CannotCreate, WriteFailed };
    Status status = NoFrame;
    QString path;   // the file written or tried
    int lines = 0;  // lines written
    QString reason; // why it failed, in the user's words where it can
};

// The log text of a capture (empty when it holds no valid frame) and its line count.
QByteArray TexteLog(const QByteArray &capture, int *lineCount = nullptr);

// Writes the log of `capture` into `folder`. Never replaces a file: when the
// minute's name is taken, "_2", "_3", ... is added before ".txt". Writes no file
// when the capture holds no valid frame. The capture itself is not touched.
Result EcrireLog(const QByteArray &capture, const QString &folder, const QDateTime &when);

} // namespace LiveLogger
