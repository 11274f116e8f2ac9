#pragma once

#include "ProtocolHandler.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// A fault injected into the bootloader's answers: kind:command:n, the command
// byte in hexadecimal ("*": every command) and the n-th time it comes (0: every
// time), e.g. "wrong:E3:3" answers the third write frame wrongly and
// "late:*:0" answers everything late.
struct BootloaderFault {
    enum Kind {
        Silent,  // no answer, nothing written
        Wrong,   // the answer's last byte changed, nothing written
        Partial, // only the answer's first byte, nothing written
        Late,    // the whole answer, late, the module busy meanwhile (the frame is written)
        Extra,   // the answer and one more byte (the frame is written)
        Short,   // half the answer (identity queries)
        Drop,    // the line goes away instead of answering
    };
    Kind kind = Silent;
    uint8_t command = 0;
    bool anyCommand = false; // "*"
    int occurrence = 0;

    static std::optional<BootloaderFault> parse(const QString &text);
};

struct BootloaderOptions {
    int baud = 0;            // pace both directions as this baud rate allows (0: no pacing)
    int flashWords = 0x4000; // program memory of the chip
    QByteArray name = "VEK-MZ300 OS"; // 12 bytes
    uint8_t revision = 0x05;
    uint8_t version[2] = {0x02, 0x15};
    int lateMs = 800;
    QList<BootloaderFault> faults;
};

// The module's serial bootloader: hello 0xEA, 21-byte write frames 0xE3 (length,
// checksum, alignment, 14-bit words and the hello before them checked; a bad
// frame is refused and reported "BAD <reason>"), close 0xED, probe ':' and the
// identity queries '1', '5', 0xEE, 0xEF, '?'. Frames are parsed by position, so
// data bytes equal to command bytes are data. Control commands:
//   dump <file>   the flash as little-endian words          -> "DUMPED <file>"
//   blstats       -> "BLSTATS hello=.. frames=.. written=.. bad=.. faults=.. close=.. probe=..
//   stray=.."
class BootloaderProtocol : public ProtocolHandler
{
public:
    explicit BootloaderProtocol(const BootloaderOptions &options);

    void onBytes(const QByteArray &bytes, ModuleLine &line) override;
    bool command(const QStringList &words, ModuleLine &line) override;

private:
    void onByte(uint8_t byte, qint64 arrivalUs, ModuleLine &line);
    void onFrame(ModuleLine &line);
    QString frameProblem() const;
    // Answers `command` with `reply`, or as the fault injected for it says.
    void answer(uint8_t command, const QByteArray &reply, ModuleLine &line);
    void respond(std::optional<BootloaderFault::Kind> fault, const QByteArray &reply,
                 ModuleLine &line);
    void emitBytes(const QByteArray &bytes, ModuleLine &line);
    std::optional<BootloaderFault::Kind> faultFor(uint8_t command);
    qint64 byteUs() const;

    BootloaderOptions m_options;
    std::vector<uint16_t> m_flash;
    QByteArray m_frame;
    qint64 m_lastFrameByteUs = 0;
    bool m_hello = false;
    bool m_dropped = false;
    bool m_busy = false; // answering late: the bytes that come wait in the backlog
    QByteArray m_backlog;
    qint64 m_inFreeUs = 0;     // when the incoming wire is free (pacing)
    qint64 m_outFreeUs = 0;    // when the outgoing wire is free
    qint64 m_commandEndUs = 0; // when the command being answered ended on the wire
    std::map<uint8_t, int> m_seen;
    int m_hellos = 0, m_frames = 0, m_written = 0, m_bad = 0, m_faults = 0, m_closes = 0,
        m_probes = 0, m_stray = 0;
};
