#include "live/LiveFrameParser.h"

#include <cstring>

namespace {
constexpr qsizetype N = TrameLive::Size;
// Data bytes in which a window must match the frame before more than another
// one does to win on likeness alone.
constexpr int ClearlyMoreAlike = 3;

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

LiveFrameParser::Step LiveFrameParser::step(const uint8_t *p, qsizetype i, qsizetype n,
                                            Mode mode) const
{
    if (i >= n)
        return {Step::Wait, i};
    if (m_aligned && !(n - i >= N && checked(p, i))) {
        const Step s = stepPastDamage(p, i, n, mode);
        if (s.kind != Step::Skip)
            return s;
    }
    if (p[i] != TrameLive::Marker)
        return {Step::Skip, nextMarker(p, i + 1, n)};
    if (n - i < N)
        return {Step::Wait, i}; // finish() drops an incomplete frame
    const Step hunt{Step::Skip, nextMarker(p, i + 1, n)};
    if (checked(p, i))
        return decide(verdict(p, i, n, mode), i, i, hunt);
    // A damaged frame that starts with the marker: in an aligned stream the
    // next frame starts 10 bytes on, so that place is tried before any marker
    // inside the damaged frame.
    const qsizetype j = i + N;
    const bool known = n - j >= N;
    if (j < n && p[j] != TrameLive::Marker)
        return hunt;
    if (!known)
        return mode == Mode::End ? hunt : Step{Step::Wait, i};
    return checked(p, j) ? decide(verdict(p, j, n, mode), j, i, hunt) : hunt;
}

LiveFrameParser::Step LiveFrameParser::decide(Verdict v, qsizetype frameAt, qsizetype waitAt,
                                              Step refused)
{
    switch (v) {
    case Verdict::Take:
        return {Step::Frame, frameAt};
    case Verdict::Wait:
        return {Step::Wait, waitAt};
    case Verdict::Refuse:
        break;
    }
    return refused;
}

LiveFrameParser::Step LiveFrameParser::stepPastDamage(const uint8_t *p, qsizetype i, qsizetype n,
                                                      Mode mode) const
{
    const Step unknown{mode == Mode::Stream ? Step::Wait : Step::Skip, i};
    for (qsizetype j = i + N; j <= i + 2 * N; j += N) {
        if (n - j < N)
            return unknown;
        if (!checked(p, j))
            continue;
        for (qsizetype c = nextMarker(p, i, j); c < j; c = nextMarker(p, c + 1, j)) {
            if (!checked(p, c))
                continue;
            // One that ends before j may be a frame between noise: it stays
            // unless clearly unlike the frame before.
            if (c + N <= j) {
                if (likeness(p + j) < likeness(p + c) + ClearlyMoreAlike)
                    return {Step::Skip, i};
                continue;
            }
            const Pick pick = better(p, c, j, n, mode);
            if (pick == Pick::Wait)
                return {Step::Wait, i};
            if (pick == Pick::First)
                return {Step::Skip, i}; // left to the hunt
        }
        return decide(verdict(p, j, n, mode), j, i, {Step::Skip, i});
    }
    return {Step::Skip, i};
}

int LiveFrameParser::likeness(const uint8_t *p) const
{
    if (!m_haveLast)
        return 0;
    int same = 0;
    for (int k = 1; k < N - 1; ++k)
        same += p[k] == m_last.bytes[size_t(k)];
    return same;
}

int LiveFrameParser::frameWholeFramesOn(const uint8_t *p, qsizetype x, qsizetype n, Mode mode)
{
    for (qsizetype y = x + 2 * N; y <= x + 3 * N; y += N) {
        if (n - y < N)
            return mode == Mode::Stream ? -1 : 0;
        if (checked(p, y))
            return 1;
    }
    return 0;
}

LiveFrameParser::Pick LiveFrameParser::better(const uint8_t *p, qsizetype a, qsizetype b,
                                              qsizetype n, Mode mode) const
{
    const int likeA = likeness(p + a), likeB = likeness(p + b);
    if (likeA >= likeB + ClearlyMoreAlike)
        return Pick::First;
    if (likeB >= likeA + ClearlyMoreAlike)
        return Pick::Second;
    const int tieA = strength(p, a, n, mode), tieB = strength(p, b, n, mode);
    if (tieA < 0 || tieB < 0)
        return Pick::Wait;
    if (tieA != tieB)
        return tieA > tieB ? Pick::First : Pick::Second;
    if (tieA == 2)
        return Pick::Even;
    const int onA = frameWholeFramesOn(p, a, n, mode), onB = frameWholeFramesOn(p, b, n, mode);
    if (onA < 0 || onB < 0)
        return Pick::Wait;
    return onA == onB ? Pick::Even : onA > onB ? Pick::First : Pick::Second;
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
                                                  Mode mode) const
{
    // Only a checked window that starts inside this one can be the true frame
    // instead; without one, this is the frame.
    const qsizetype end = i + N;
    for (qsizetype j = nextMarker(p, i + 1, end); j < end; j = nextMarker(p, j + 1, end)) {
        if (n - j < N) { // its bytes are yet to come, or never will
            if (mode == Mode::Stream)
                return Verdict::Wait;
            break;
        }
        if (!checked(p, j))
            continue;
        const Pick pick = better(p, i, j, n, mode);
        if (pick == Pick::Wait)
            return Verdict::Wait;
        if (pick == Pick::Second)
            return Verdict::Refuse;
    }
    return Verdict::Take;
}
