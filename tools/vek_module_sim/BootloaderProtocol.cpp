#include "BootloaderProtocol.h"

#include <QFile>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <ctime>
#include <utility>

namespace {

constexpr uint8_t Hello = 0xEA, Frame = 0xE3, Close = 0xED, Probe = 0x3A, Version = 0x31,
                  Five = 0x35, Revision = 0xEE, Name = 0xEF, Leave = 0x3F;
constexpr int FrameSize = 21;
constexpr qint64 FrameGapUs = 100 * 1000; // a frame stalled this long is dropped

qint64 nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// Sleeps until the steady clock reaches `us` (pacing only: short waits).
void sleepUntil(qint64 us)
{
    const qint64 wait = us - nowUs();
    if (wait <= 0)
        return;
    timespec ts{time_t(wait / 1000000), long(wait % 1000000) * 1000};
    nanosleep(&ts, nullptr);
}

} // namespace

std::optional<BootloaderFault> BootloaderFault::parse(const QString &text)
{
    static const QStringList kinds = {"silent", "wrong", "partial", "late",
                                      "extra",  "short", "drop"};
    const QStringList parts = text.split(':');
    if (parts.size() != 3 || !kinds.contains(parts[0]))
        return std::nullopt;
    bool okCommand = false, okCount = false;
    BootloaderFault f;
    f.kind = Kind(kinds.indexOf(parts[0]));
    f.anyCommand = parts[1] == QLatin1String("*");
    f.command = f.anyCommand ? 0 : uint8_t(parts[1].toUInt(&okCommand, 16));
    okCommand = okCommand || f.anyCommand;
    f.occurrence = parts[2].toInt(&okCount);
    if (!okCommand || !okCount)
        return std::nullopt;
    return f;
}

BootloaderProtocol::BootloaderProtocol(const BootloaderOptions &options)
    : m_options(options), m_flash(size_t(options.flashWords), 0x3FFF)
{
    m_options.name = m_options.name.leftJustified(12, ' ', true);
}

qint64 BootloaderProtocol::byteUs() const
{
    return m_options.baud > 0 ? 10'000'000 / m_options.baud : 0;
}

void BootloaderProtocol::onBytes(const QByteArray &bytes, ModuleLine &line)
{
    // Each byte ends on the wire one byte time after the one before it.
    const qint64 readUs = nowUs();
    for (int i = 0; i < bytes.size(); ++i) {
        if (m_busy) { // a late answer: what follows waits its turn
            m_backlog.append(bytes.mid(i));
            return;
        }
        const char c = bytes[i];
        if (m_dropped)
            return;
        m_inFreeUs = std::max(readUs, m_inFreeUs) + byteUs();
        onByte(uint8_t(c), m_inFreeUs, line);
    }
}

void BootloaderProtocol::onByte(uint8_t byte, qint64 arrivalUs, ModuleLine &line)
{
    if (!m_frame.isEmpty() && arrivalUs - m_lastFrameByteUs > FrameGapUs) {
        ++m_bad;
        line.report(QStringLiteral("BAD incomplete %1 bytes").arg(m_frame.size()));
        m_frame.clear();
    }
    if (!m_frame.isEmpty() || byte == Frame) {
        m_frame.append(char(byte));
        m_lastFrameByteUs = arrivalUs;
        if (m_frame.size() == FrameSize) {
            m_commandEndUs = arrivalUs;
            onFrame(line);
            m_frame.clear();
        }
        return;
    }
    m_commandEndUs = arrivalUs;
    switch (byte) {
    case Hello:
        ++m_hellos;
        m_hello = true;
        answer(byte, QByteArray(1, char(0xEB)), line);
        break;
    case Close:
        ++m_closes;
        m_hello = false;
        answer(byte, QByteArray(1, char(0xE4)), line);
        break;
    case Probe:
        ++m_probes;
        answer(byte, QByteArray(1, ';'), line);
        break;
    case Version:
        answer(byte, QByteArray(reinterpret_cast<const char *>(m_options.version), 2), line);
        break;
    case Five:
        answer(byte, QByteArray(1, char(0x01)), line);
        break;
    case Revision:
        answer(byte, QByteArray(1, char(m_options.revision)), line);
        break;
    case Name:
        answer(byte, m_options.name, line);
        break;
    case Leave:
        answer(byte, QByteArray(1, char(0x00)), line);
        break;
    default:
        ++m_stray;
        break;
    }
}

QString BootloaderProtocol::frameProblem() const
{
    const auto at = [this](int i) { return uint8_t(m_frame[i]); };
    const int address = at(1) * 256 + at(2);
    if (!m_hello)
        return QStringLiteral("no-hello");
    if (at(3) != 0x10)
        return QStringLiteral("length %1").arg(at(3));
    if (address % 8 != 0 || address + 8 > m_options.flashWords)
        return QStringLiteral("address %1").arg(address, 4, 16, QChar('0'));
    uint8_t sum = 0;
    for (int i = 5; i < FrameSize; ++i) {
        sum = uint8_t(sum + at(i));
        if ((i % 2) == 1 && (at(i) & 0xC0) != 0)
            return QStringLiteral("word-above-14-bits");
    }
    if (sum != at(4))
        return QStringLiteral("checksum");
    return {};
}

void BootloaderProtocol::onFrame(ModuleLine &line)
{
    ++m_frames;
    const QString problem = frameProblem();
    if (!problem.isEmpty()) {
        ++m_bad;
        line.report(QStringLiteral("BAD %1").arg(problem));
        emitBytes(QByteArray::fromHex("E7E5"), line);
        return;
    }
    // The module writes the frame before it acknowledges it; a fault that
    // keeps it from acknowledging (silence, a wrong answer) means not written.
    const std::optional<BootloaderFault::Kind> fault = faultFor(Frame);
    const bool writes =
        !fault || *fault == BootloaderFault::Late || *fault == BootloaderFault::Extra;
    if (writes) {
        const int address = uint8_t(m_frame[1]) * 256 + uint8_t(m_frame[2]);
        for (int i = 0; i < 8; ++i)
            m_flash[size_t(address + i)] =
                uint16_t(uint8_t(m_frame[5 + 2 * i]) << 8 | uint8_t(m_frame[6 + 2 * i]));
        ++m_written;
    }
    respond(fault, QByteArray::fromHex("E7E4"), line);
}

std::optional<BootloaderFault::Kind> BootloaderProtocol::faultFor(uint8_t command)
{
    const int n = ++m_seen[command];
    for (const BootloaderFault &f : m_options.faults)
        if ((f.anyCommand || f.command == command) && (f.occurrence == 0 || f.occurrence == n))
            return f.kind;
    return std::nullopt;
}

void BootloaderProtocol::answer(uint8_t command, const QByteArray &reply, ModuleLine &line)
{
    respond(faultFor(command), reply, line);
}

void BootloaderProtocol::respond(std::optional<BootloaderFault::Kind> fault,
                                 const QByteArray &reply, ModuleLine &line)
{
    if (!fault) {
        emitBytes(reply, line);
        return;
    }
    ++m_faults;
    QByteArray changed = reply;
    switch (*fault) {
    case BootloaderFault::Silent:
        return;
    case BootloaderFault::Wrong:
        changed[changed.size() - 1] = char(changed.back() ^ 0x01);
        break;
    case BootloaderFault::Partial:
        changed = reply.left(reply.size() > 1 ? 1 : 0);
        break;
    case BootloaderFault::Late:
        // The module is busy until it answers: the commands that come
        // meanwhile are answered after it, in their order.
        m_busy = true;
        QTimer::singleShot(m_options.lateMs, [this, reply, &line] {
            m_commandEndUs = nowUs();
            emitBytes(reply, line);
            m_busy = false;
            onBytes(std::exchange(m_backlog, {}), line);
        });
        return;
    case BootloaderFault::Extra:
        // The byte too many follows the answer on the wire, a byte time later.
        emitBytes(reply, line);
        emitBytes(reply.right(1), line);
        return;
    case BootloaderFault::Short:
        changed = reply.left(reply.size() / 2);
        break;
    case BootloaderFault::Drop:
        m_dropped = true;
        line.report(QStringLiteral("DROPPED"));
        line.hangUp();
        return;
    }
    emitBytes(changed, line);
}

void BootloaderProtocol::emitBytes(const QByteArray &bytes, ModuleLine &line)
{
    if (bytes.isEmpty() || m_dropped)
        return;
    if (byteUs() == 0) {
        line.send(bytes); // one write: the program sees the answer whole
        return;
    }
    // The answer is written when its last byte would have left the wire, the
    // command having ended on the wire before it: one wake-up per exchange.
    m_outFreeUs = std::max(m_commandEndUs, m_outFreeUs) + byteUs() * bytes.size();
    sleepUntil(m_outFreeUs);
    line.send(bytes);
}

bool BootloaderProtocol::command(const QStringList &words, ModuleLine &line)
{
    if (words.value(0) == QLatin1String("dump") && words.size() == 2) {
        QFile file(words[1]);
        QByteArray bytes;
        for (uint16_t w : m_flash) {
            bytes.append(char(w & 0xFF));
            bytes.append(char(w >> 8));
        }
        const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                        file.write(bytes) == bytes.size();
        file.close();
        line.report(ok ? QStringLiteral("DUMPED %1").arg(words[1])
                       : QStringLiteral("DUMPFAILED %1").arg(file.errorString()));
        return true;
    }
    if (words.value(0) == QLatin1String("blstats")) {
        line.report(QStringLiteral("BLSTATS hello=%1 frames=%2 written=%3 bad=%4 faults=%5 "
                                   "close=%6 probe=%7 stray=%8")
                        .arg(m_hellos)
                        .arg(m_frames)
                        .arg(m_written)
                        .arg(m_bad)
                        .arg(m_faults)
                        .arg(m_closes)
                        .arg(m_probes)
                        .arg(m_stray));
        return true;
    }
    return false;
}
