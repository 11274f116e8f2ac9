#pragma once

#include "base/Jobs.h"
#include "bootloader/BootloaderTexts.h"
#include "firmware/TablePlacement.h"
#include "icsp/PicDevice.h"
#include "icsp/PicImage.h"
#include "platform/ByteLink.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

// The module's serial bootloader: single command bytes, 21-byte write frames of
// eight program words, and the answers that judge them. Plain synchronous code
// over a byte link, run off the GUI thread by the transfer windows' jobs.
namespace VEK_BOOTLOADER {

constexpr uint8_t Hello = 0xEA;
constexpr uint8_t HelloAnswer = 0xEB;
constexpr uint8_t WriteFrame = 0xE3;
constexpr uint8_t WriteAnswer1 = 0xE7;
constexpr uint8_t WriteAnswer2 = 0xE4;
constexpr uint8_t Close = 0xED;
constexpr uint8_t CloseAnswer = 0xE4;
constexpr uint8_t Probe = 0x3A;         // ':'
constexpr uint8_t ProbeAnswer = 0x3B;   // ';'
constexpr uint8_t QueryVersion = 0x31;  // '1', 2 bytes
constexpr uint8_t QueryFive = 0x35;     // '5', 1 byte
constexpr uint8_t QueryRevision = 0xEE; // 1 byte
constexpr uint8_t QueryName = 0xEF;     // 12 bytes
constexpr uint8_t QueryLeave = 0x3F;    // '?', 1 byte, sent on disconnection

constexpr int FrameSize = 21;
constexpr int WordsPerFrame = 8;
constexpr int DataBytes = 16;
// Time given to a judged command (hello, frame, close, probe) and to an identity query.
constexpr qint64 CommandTimeoutMs = 500;
constexpr qint64 QueryTimeoutMs = 1000;
// After a wrong answer: time for the true one to follow a stray byte.
constexpr qint64 TrailingByteMs = 20;

} // namespace VEK_BOOTLOADER

// How one exchange ended.
enum class BootloaderStatus {
    Accepted,    // the whole expected answer came (and was the right one)
    WrongAnswer, // an answer came, not the expected one
    ShortAnswer, // fewer bytes than asked came before the time-out
    NoAnswer,    // nothing came before the time-out
    LineLost,    // the port failed or the module's side went away
    NotACommand, // not one of the commands the command layer judges
};

struct BootloaderReply {
    BootloaderStatus status = BootloaderStatus::NoAnswer;
    QByteArray answer;
    DeviceFailure line; // why, when the line was lost
    bool ok() const { return status == BootloaderStatus::Accepted; }
};

// Sends a judged command (hello 0xEA, write frame 0xE3 with `data` the whole
// frame, close 0xED, probe ':') after dropping what was waiting, then reads
// exactly the expected answer (2 bytes for a frame, else 1) within 500 ms. One
// stray byte before the answer (the tail of the previous one, late on the
// line) is passed over.
BootloaderReply BootloaderCommand(ByteLink &port, uint8_t command, const QByteArray &data = {});

// Sends one command byte and returns up to `count` answer bytes, received within
// `timeoutMs`, what was waiting before it dropped; with count 0 it returns at
// once with what was waiting. Judges
// nothing but the length: fewer bytes than asked is ShortAnswer (or NoAnswer).
BootloaderReply BootloaderSendByte(ByteLink &port, uint8_t command, int count,
                                   qint64 timeoutMs = VEK_BOOTLOADER::QueryTimeoutMs);

// The write frame of the 8-word block starting at word `block` of the image:
// 0xE3, address high and low, 0x10, the data checksum, then each word's high
// byte (14 bits kept) and low byte.
QByteArray BootloaderFrame(const PicImage &image, int block);

// How a range writer shows its progress: the block count of its text and the
// bar's percentage for the block ending at word w.
struct WriteRangeProgress {
    int blockCount = 0;
    std::function<double(int w)> percent;
};

// Outcome of a range: the frames accepted, and where and why it stopped.
struct WriteRangeResult {
    enum class Stop { Done, RangeRefused, Refused, Cancelled };
    Stop stop = Stop::Done;
    TablePlacement::WordRange range; // the range asked for
    QString rangeRefused;            // why the range was refused whole
    BootloaderReply reply;           // of the block that stopped it
    int block = -1;                  // that block's first word
    int framesAccepted = 0;
    bool ok() const { return stop == Stop::Done; }
};

// Sends the words first to end - 1 of the device's image, one acknowledged
// frame per aligned 8-word block, and stops at the first one refused. A range
// the areas' rule refuses for the device's chip (TablePlacement::ZonesRefusees,
// which the callers have applied already) sends nothing. The cancel
// request is honoured between frames. Bytes beyond an acknowledgement are
// accepted, and dropped before the next frame so they are not taken for its
// answer.
WriteRangeResult BootloaderWriteRange(ByteLink &port, const PicDevice &device, int first, int end,
                                      const WriteRangeProgress &progress,
                                      const BootloaderTexts &texts, ProgressSink &sink,
                                      const CancelToken &cancel);

// Why a judged command failed, in the user's words: the line lost, no whole
// answer within its 500 ms, or the answer that came instead. Empty for an
// accepted one.
QString BootloaderFailureCause(const BootloaderReply &reply, const BootloaderTexts &texts);

// The user's message for a range that stopped, naming the block.
QString BootloaderRangeMessage(const WriteRangeResult &result, const BootloaderTexts &texts);
