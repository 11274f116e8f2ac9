#include "live/LiveLogFormatter.h"

#include "live/LiveDecoder.h"

static QString hex(int value)
{
    return QString::number(value, 16).toUpper();
}

QString LigneLogLive(const TrameLive &frame)
{
    if (frame.noPeriod())
        return QStringLiteral("RPM : OFF | FFFF - DP : FFFF - OPTION : FF - ADC1 : FF - ADC2 : FF");
    const int32_t period = frame.rawPeriod();
    return QStringLiteral("RPM : %1 | %2 - DP : %3 - XX : %4 - OPTION : %5 - ADC1 : %6 - ADC2 : %7")
        .arg(CalculRegimeLive(period))
        .arg(hex(period), hex(frame.rawTiming()), hex(frame.statusA()), hex(frame.statusB()),
             hex(frame.adc1()), hex(frame.adc2()));
}
