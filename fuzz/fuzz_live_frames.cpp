// Whatever arrives on the serial line: the live frame parser fed in pieces of
// sizes taken from the input, each frame decoded, and the terminal's text of
// each piece. Cutting the stream differently must not change what is found.
#include "live/LiveDecoder.h"
#include "live/LiveFrameParser.h"
#include "live/TerminalDisplay.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkReading(const LiveReading &r)
{
    check(r.RegimeLive == -1 || (r.RegimeLive >= 0 && r.RegimeLive <= 9999));
    check(r.AvanceLive == -1 || (r.AvanceLive >= -AvanceLiveMax && r.AvanceLive <= AvanceLiveMax));
    check(r.ChargeLive == 0 || r.ChargeLive == 33 || r.ChargeLive == 66 || r.ChargeLive == 100);
}

QList<TrameLive> framesOf(const QByteArray &stream)
{
    LiveFrameParser parser;
    QList<TrameLive> frames;
    parser.feed(stream, [&](const TrameLive &f) { frames.append(f); });
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the piece sizes: 1 to 16 bytes, cycling through the
    // following bytes' low bits when its top bit is set.
    const uint8_t pattern = data[0];
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    LiveFrameParser parser;
    QList<TrameLive> frames;
    qsizetype at = 0;
    for (qsizetype k = 0; at < stream.size(); ++k) {
        qsizetype piece = (pattern & 0x0F) + 1;
        if (pattern & 0x80)
            piece = (uint8_t(stream.at(k % stream.size())) & 0x0F) + 1;
        const QByteArray part = stream.mid(at, piece);
        at += part.size();
        parser.feed(part, [&](const TrameLive &f) {
            check(TrameLive::isValidAt(f.bytes.data()));
            checkReading(LiveReading::decode(f));
            frames.append(f);
        });
        check(parser.pendingBytes() < LiveFrameParser::MaxPending);
        const auto mode = static_cast<TerminalDisplay::Mode>(k % 3);
        const QString shown = TerminalDisplay::TexteRecu(part, mode);
        check(mode != TerminalDisplay::Mode::Asc || shown.size() == part.size());
        check(TerminalDisplay::Tronque(shown).size() <= qMax<qsizetype>(shown.size(), 0));
    }
    // Every byte is in a frame, skipped, or held until the bytes after it are known.
    check(parser.framesFound() * TrameLive::Size + parser.bytesSkipped() +
              quint64(parser.pendingBytes()) ==
          quint64(stream.size()));
    check(frames == framesOf(stream));
    return 0;
}
