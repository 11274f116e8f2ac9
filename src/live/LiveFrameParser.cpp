#include "live/LiveFrameParser.h"

#include <cstring>

namespace {
constexpr qsizetype N = TrameLive::Size;

bool checked(const uint8_t *p, qsizetype i)
{
    return TrameLive::isValidAt(p + i);
}
} // namespace

qsizetype LiveFrameParser::nextMarker(const uint8_t *p, qsizetype from, qsizetype n)
{
    if (from >= n)
        return n;
    const void *hit = std::memchr(p + from, TrameLive::Marker, size_t(n - from));
    return hit ? static_cast<const uint8_t *>(hit) - p : n;
}

LiveFrameParser::Step LiveFrameParser::step(const uint8_t *p, qsizetype i, qsizetype n, Mode mode)
{
    if (i >= n)
        return {Step::Wait, i};
    if (p[i] != TrameLive::Marker)
        return {Step::Skip, nextMarker(p, i + 1, n)};
    if (n - i < N)
        return {Step::Wait, i}; // finish() drops an incomplete frame
    if (checked(p, i)) {
        switch (verdict(p, i, n, mode)) {
        case Verdict::Take:
            return {Step::Frame, i};
        case Verdict::Wait:
            return {Step::Wait, i};
        case Verdict::Refuse:
            return {Step::Skip, nextMarker(p, i + 1, n)};
        }
    }
    // A damaged frame that starts with the marker: in an aligned stream the
    // next frame starts 10 bytes on, so that place is tried before any marker
    // inside the damaged frame.
    const qsizetype j = i + N;
    const bool known = n - j >= N;
    if (j < n && p[j] != TrameLive::Marker)
        return {Step::Skip, nextMarker(p, i + 1, n)};
    if (!known)
        return mode == Mode::End ? Step{Step::Skip, nextMarker(p, i + 1, n)} : Step{Step::Wait, i};
    if (checked(p, j)) {
        switch (verdict(p, j, n, mode)) {
        case Verdict::Take:
            return {Step::Frame, j};
        case Verdict::Wait:
            return {Step::Wait, i};
        case Verdict::Refuse:
            break;
        }
    }
    return {Step::Skip, nextMarker(p, i + 1, n)};
}

int LiveFrameParser::strength(const uint8_t *p, qsizetype x, qsizetype n, Mode mode)
{
    const qsizetype y = x + N;
    const int unknown = mode == Mode::Stream ? -1 : 2; // the end of what is held: no evidence
    if (y == n)
        return unknown;
    if (p[y] != TrameLive::Marker)
        return 0;
    if (n - y < N)
        return unknown;
    return checked(p, y) ? 2 : 1;
}

LiveFrameParser::Verdict LiveFrameParser::verdict(const uint8_t *p, qsizetype i, qsizetype n,
                                                  Mode mode)
{
    // Only a checked window that starts inside this one can be the true frame
    // instead; without one, this is the frame.
    const qsizetype end = i + N;
    int own = -2; // not known yet
    for (qsizetype j = nextMarker(p, i + 1, end); j < end; j = nextMarker(p, j + 1, end)) {
        if (n - j < N) { // its bytes are yet to come, or never will
            if (mode == Mode::Stream)
                return Verdict::Wait;
            break;
        }
        if (!checked(p, j))
            continue;
        if (own == -2)
            own = strength(p, i, n, mode);
        const int other = strength(p, j, n, mode);
        if (own < 0 || other < 0)
            return Verdict::Wait;
        if (other > own)
            return Verdict::Refuse;
    }
    return Verdict::Take;
}
