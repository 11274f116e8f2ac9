#include "live/LiveFrameParser.h"

#include <cstring>

qsizetype LiveFrameParser::nextMarker(const uint8_t *p, qsizetype from, qsizetype n)
{
    if (from >= n)
        return n;
    const void *hit = std::memchr(p + from, TrameLive::Marker, size_t(n - from));
    return hit ? static_cast<const uint8_t *>(hit) - p : n;
}
