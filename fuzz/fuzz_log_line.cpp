// The live logger: a raw capture becomes one log line per valid frame, and each
// line has the fixed shape the log readers expect, whatever the frame holds.
#include "live/LiveFrameParser.h"
#include "live/LiveLogFormatter.h"
#include "live/LiveLogger.h"

#include <QByteArray>
#include <QRegularExpression>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QRegularExpression shape(QStringLiteral(
        "^RPM : (OFF \\| FFFF - DP : FFFF - OPTION : FF - ADC1 : FF - ADC2 : FF|"
        "(-1|\\d{1,4}) \\| [0-9A-F]{1,4} - DP : [0-9A-F]{1,4} - XX : [0-9A-F]{1,2} - "
        "OPTION : [0-9A-F]{1,2} - ADC1 : [0-9A-F]{1,2} - ADC2 : [0-9A-F]{1,2})$"));
    const QByteArray capture(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every 10 bytes as a frame, valid or not: the formatter takes any frame (a
    // period of 0 shows as -1 rpm).
    for (size_t at = 0; at + TrameLive::Size <= size; at += TrameLive::Size)
        if (!shape.match(LigneLogLive(TrameLive::fromBytes(data + at))).hasMatch())
            std::abort();

    int lines = 0;
    const QByteArray text = LiveLogger::TexteLog(capture, &lines);
    if (text.count("\r\n") != lines || (lines == 0) != text.isEmpty())
        std::abort();
    const QList<QByteArray> each = text.split('\n');
    for (qsizetype i = 0; i + 1 < each.size(); ++i)
        if (!shape.match(QString::fromLatin1(each.at(i).chopped(1))).hasMatch())
            std::abort();
    return 0;
}
