#include "LineFaults.h"

uint8_t LineFaults::roughByte()
{
    return m_random() % 8 == 0 ? TrameLive::Marker : uint8_t(m_random() & 0xFF);
}

QByteArray LineFaults::noise()
{
    QByteArray junk;
    if (!chance(m_options.garbage))
        return junk;
    for (int n = 1 + int(m_random() % 5); n > 0; --n)
        junk.append(char(roughByte()));
    return junk;
}

void LineFaults::addMarker(TrameLive &frame)
{
    if (!chance(m_options.markers))
        return;
    frame.bytes[1 + m_random() % 8] = TrameLive::Marker;
    frame.bytes[9] = TrameLive::checksumOf(frame.bytes.data());
}

bool LineFaults::damage(TrameLive &frame)
{
    if (!chance(m_options.corrupt))
        return false;
    uint8_t &byte = frame.bytes[m_random() % TrameLive::Size];
    const uint8_t was = byte;
    while (byte == was)
        byte = roughByte();
    return true;
}
