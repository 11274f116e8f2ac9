#include "live/TrameLive.h"

#include <QStringList>

uint8_t TrameLive::checksumOf(const uint8_t *p)
{
    unsigned sum = 0;
    for (int i = 1; i < 9; ++i)
        sum += p[i];
    return uint8_t(sum & 0xFF);
}

bool TrameLive::isValidAt(const uint8_t *p)
{
    return p[0] == Marker && checksumOf(p) == p[9];
}

TrameLive TrameLive::fromBytes(const uint8_t *p)
{
    TrameLive t;
    std::copy(p, p + Size, t.bytes.begin());
    return t;
}

TrameLive TrameLive::build(uint8_t periodHigh, uint8_t periodLow, uint8_t timingHigh,
                           uint8_t timingLow, uint8_t statusA, uint8_t statusB, uint8_t adc1,
                           uint8_t adc2)
{
    TrameLive t;
    t.bytes = {Marker,  periodHigh, periodLow, timingHigh, timingLow,
               statusA, statusB,    adc1,      adc2,       0};
    t.bytes[9] = checksumOf(t.bytes.data());
    return t;
}

TrameLive TrameLive::withWords(uint16_t period, uint16_t timing, uint8_t statusA, uint8_t statusB,
                               uint8_t adc1, uint8_t adc2)
{
    return build(uint8_t(period >> 8), uint8_t(period), uint8_t(timing >> 8), uint8_t(timing),
                 statusA, statusB, adc1, adc2);
}

QByteArray TrameLive::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), Size);
}

QString TrameLive::bytesText() const
{
    QStringList hex;
    for (uint8_t b : bytes)
        hex << QString::number(b, 16).toUpper();
    return hex.join(QStringLiteral(" - "));
}
