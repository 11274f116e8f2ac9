#pragma once

#include "live/TrameLive.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

// Finds live frames in a byte stream that arrives in pieces of any size.
//
// A frame is 10 bytes that start with the marker and carry a good checksum, but
// the modules send the marker value inside their data too, so a damaged frame
// or a few noise bytes hold windows that pass both tests by chance (1 in 256).
// To keep an aligned stream aligned:
// - after a damaged frame that starts with the marker, the frame 10 bytes on is
//   tried first, before any window inside the damaged one;
// - when a window that starts inside a checked window passes too, the one
//   better tied to what follows wins: followed by a good frame, then followed
//   by a marker, then followed by anything else; on a tie, the one whose next
//   frame lies a whole number of frames on (damaged frames keep their length),
//   else the first one;
// - a window much more like the frame before than the other one wins whatever
//   follows: a module's consecutive frames differ in few bytes, a window shifted
//   across a frame boundary in most;
// - right after a frame, when the next window fails, the frame 10 or 20 bytes
//   on (behind one or two damaged frames) is taken unless a window in between
//   is better tied.
// A frame whose inside holds the marker is decided once the bytes after it are
// known: at the end of a read it waits for the next read, or for pause(). The
// same bytes give the same frames however they are cut into reads.
class LiveFrameParser
{
public:
    // Appends `data` and calls onFrame(const TrameLive&) for each frame it decides.
    template <typename OnFrame> void feed(QByteArrayView data, OnFrame &&onFrame)
    {
        m_pending.append(data.data(), data.size());
        scan(Mode::Stream, onFrame);
    }

    // The line went quiet: what is held is all there is for now, so a frame
    // waiting for the byte after it is decided as if the stream ended there.
    // An incomplete frame is kept for the bytes still to come.
    template <typename OnFrame> void pause(OnFrame &&onFrame) { scan(Mode::Pause, onFrame); }

    // The end of the stream (a whole capture): decides what is held, drops the rest.
    template <typename OnFrame> void finish(OnFrame &&onFrame)
    {
        scan(Mode::End, onFrame);
        m_skipped += quint64(m_pending.size());
        m_pending.clear();
    }

    // Forgets a partial frame (the port was closed and reopened).
    void reset()
    {
        m_pending.clear();
        m_aligned = false;
        m_haveLast = false;
    }

    // Frames found and bytes skipped since construction.
    quint64 framesFound() const { return m_frames; }
    quint64 bytesSkipped() const { return m_skipped; }
    // Bytes held until the bytes after them are known (fewer than MaxPending).
    qsizetype pendingBytes() const { return m_pending.size(); }
    // True when a complete frame may be held, waiting for the bytes after it.
    bool frameWaiting() const { return m_pending.size() >= TrameLive::Size; }

    // The farthest a decision looks: a frame 20 bytes on behind damage, a
    // window inside it, and the frames that tie that window to what follows.
    static constexpr qsizetype MaxPending = 7 * TrameLive::Size;

private:
    enum class Mode { Stream, Pause, End };
    struct Step {
        enum Kind { Frame, Skip, Wait } kind;
        qsizetype at; // Frame: where it starts; Skip: where to go on
    };

    template <typename OnFrame> void scan(Mode mode, OnFrame &onFrame)
    {
        const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
        const qsizetype n = m_pending.size();
        qsizetype i = 0;
        for (;;) {
            const Step s = step(p, i, n, mode);
            if (s.kind == Step::Wait)
                break;
            m_skipped += quint64(s.at - i);
            m_aligned = m_aligned && s.at == i;
            i = s.at;
            if (s.kind == Step::Frame) {
                ++m_frames;
                m_last = TrameLive::fromBytes(p + i);
                m_haveLast = true;
                m_aligned = true;
                onFrame(m_last);
                i += TrameLive::Size;
            }
        }
        m_pending.remove(0, i);
    }

    // What to do at position i of the n bytes at p.
    Step step(const uint8_t *p, qsizetype i, qsizetype n, Mode mode) const;
    // Right after a frame whose next window at i fails: a frame 10 or 20 bytes on.
    Step stepPastDamage(const uint8_t *p, qsizetype i, qsizetype n, Mode mode) const;
    enum class Verdict { Take, Refuse, Wait };
    // Whether the checked window at i is a frame.
    Verdict verdict(const uint8_t *p, qsizetype i, qsizetype n, Mode mode) const;
    // The step a verdict on the window at frameAt leads to.
    static Step decide(Verdict v, qsizetype frameAt, qsizetype waitAt, Step refused);
    enum class Pick { First, Second, Even, Wait };
    // Which of two overlapping checked windows a < b is the better frame.
    Pick better(const uint8_t *p, qsizetype a, qsizetype b, qsizetype n, Mode mode) const;
    // How many data bytes of the window at p equal the last frame's.
    int likeness(const uint8_t *p) const;
    // Whether a checked window lies 20 or 30 bytes after x: 1 yes, 0 no, -1 yet to come.
    static int frameWholeFramesOn(const uint8_t *p, qsizetype x, qsizetype n, Mode mode);
    // How the checked window at x ties to what follows it: 2 a good frame,
    // 1 a marker, 0 anything else; -1 when the bytes are yet to come.
    static int strength(const uint8_t *p, qsizetype x, qsizetype n, Mode mode);
    static qsizetype nextMarker(const uint8_t *p, qsizetype from, qsizetype n);

    QByteArray m_pending;
    quint64 m_frames = 0;
    quint64 m_skipped = 0;
    bool m_aligned = false; // the held bytes start right after a frame
    bool m_haveLast = false;
    TrameLive m_last; // the last frame found
};
