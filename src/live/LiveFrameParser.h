#pragma once

#include "live/TrameLive.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>

// Finds live frames in a byte stream that arrives in pieces of any size.
// The bytes of a frame split over several reads are carried over to the next
// read; only frames that start with the marker and carry a good checksum come
// out, and after any error the parser realigns on the next such frame.
class LiveFrameParser
{
public:
    // Appends `data` and calls onFrame(const TrameLive&) for each frame it completes.
    template <typename OnFrame> void feed(QByteArrayView data, OnFrame &&onFrame)
    {
        m_pending.append(data.data(), data.size());
        const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
        const qsizetype n = m_pending.size();
        qsizetype i = 0;
        while (n - i >= TrameLive::Size) {
            if (TrameLive::isValidAt(p + i)) {
                ++m_frames;
                onFrame(TrameLive::fromBytes(p + i));
                i += TrameLive::Size;
            } else {
                const qsizetype next = nextMarker(p, i + 1, n);
                m_skipped += quint64(next - i);
                i = next;
            }
        }
        // Keep only what may start a frame: from the first marker in the tail.
        const qsizetype keep = nextMarker(p, i, n);
        m_skipped += quint64(keep - i);
        m_pending.remove(0, keep);
    }

    // Forgets a partial frame (the port was closed and reopened).
    void reset() { m_pending.clear(); }

    // Frames found and bytes skipped since construction.
    quint64 framesFound() const { return m_frames; }
    quint64 bytesSkipped() const { return m_skipped; }
    // Bytes waiting for the rest of their frame (never more than 9).
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    static qsizetype nextMarker(const uint8_t *p, qsizetype from, qsizetype n);

    QByteArray m_pending;
    quint64 m_frames = 0;
    quint64 m_skipped = 0;
};
