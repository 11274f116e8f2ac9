#include "bootloader/VEK_BOOTLOADER.h"

#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"

#include <cmath>

using namespace VEK_BOOTLOADER;

namespace {

BootloaderReply lost(const ByteLink &port, ByteLink::Status status)
{
    return {BootloaderStatus::LineLost, {}, port.failureOf(status)};
}

// Judges the answer of a judged command; a reply too short for the judgement
// is a wrong answer.
bool accepted(uint8_t command, const QByteArray &answer)
{
    auto at = [&answer](int i) { return i < answer.size() ? uint8_t(answer[i]) : -1; };
    switch (command) {
    case Hello:
        return at(0) == HelloAnswer;
    case WriteFrame:
        return at(0) == WriteAnswer1 && at(1) == WriteAnswer2;
    case Close:
        return at(0) == CloseAnswer;
    case Probe:
        return at(0) == ProbeAnswer;
    default:
        return false;
    }
}

QString address(int word)
{
    return HexInt(static_cast<int16_t>(word), 4);
}

} // namespace

BootloaderReply BootloaderCommand(ByteLink &port, uint8_t command, const QByteArray &data)
{
    if (command != Hello && command != WriteFrame && command != Close && command != Probe)
        return {BootloaderStatus::NotACommand, {}, {}};
    const QByteArray text = command == WriteFrame ? data : QByteArray(1, char(command));
    const qsizetype expected = command == WriteFrame ? 2 : 1;
    port.discardInput(); // what came before the command is no answer to it
    if (const auto written = port.write(text); written != ByteLink::Status::Ok)
        return lost(port, written);
    BootloaderReply reply;
    ByteLink::Status status = port.read(reply.answer, expected, CommandTimeoutMs);
    if (status == ByteLink::Status::Ok && !accepted(command, reply.answer)) {
        // A byte trailing the previous answer (a module that sends one more)
        // may reach us only after the command left: the answer may follow it.
        QByteArray shifted = reply.answer;
        status = port.read(shifted, 1, TrailingByteMs);
        if (shifted.size() > expected && accepted(command, shifted.mid(1)))
            reply.answer = shifted.mid(1);
    }
    if (status == ByteLink::Status::Closed || status == ByteLink::Status::Failed)
        return lost(port, status);
    if (reply.answer.isEmpty())
        reply.status = BootloaderStatus::NoAnswer;
    else if (accepted(command, reply.answer))
        reply.status = BootloaderStatus::Accepted;
    else
        reply.status = reply.answer.size() < expected ? BootloaderStatus::ShortAnswer
                                                      : BootloaderStatus::WrongAnswer;
    return reply;
}

BootloaderReply BootloaderSendByte(ByteLink &port, uint8_t command, int count, qint64 timeoutMs)
{
    if (count > 0)
        port.discardInput(); // a late answer to an earlier command is not this one's
    if (const auto written = port.write(QByteArray(1, char(command)));
        written != ByteLink::Status::Ok)
        return lost(port, written);
    BootloaderReply reply;
    const qsizetype wanted = count > 0 ? count : port.available();
    const ByteLink::Status status = port.read(reply.answer, wanted, count > 0 ? timeoutMs : 0);
    if (status == ByteLink::Status::Closed || status == ByteLink::Status::Failed)
        return lost(port, status);
    if (reply.answer.size() >= count)
        reply.status = BootloaderStatus::Accepted;
    else
        reply.status =
            reply.answer.isEmpty() ? BootloaderStatus::NoAnswer : BootloaderStatus::ShortAnswer;
    return reply;
}

QByteArray BootloaderFrame(const PicImage &image, int block)
{
    QByteArray frame(FrameSize, '\0');
    frame[0] = char(WriteFrame);
    frame[1] = char(block / 256);
    frame[2] = char(block % 256);
    frame[3] = char(DataBytes);
    uint8_t checksum = 0;
    for (int i = 0; i < WordsPerFrame; ++i) {
        const uint16_t word = image.codeWord(block + i);
        const uint8_t hi = uint8_t(word >> 8) & 0x3F;
        const uint8_t lo = uint8_t(word & 0xFF);
        frame[5 + 2 * i] = char(hi);
        frame[6 + 2 * i] = char(lo);
        checksum = uint8_t(checksum + hi + lo);
    }
    frame[4] = char(checksum);
    return frame;
}

WriteRangeResult BootloaderWriteRange(ByteLink &port, const PicDevice &device, int first, int end,
                                      const WriteRangeProgress &progress,
                                      const BootloaderTexts &texts, ProgressSink &sink,
                                      const CancelToken &cancel)
{
    WriteRangeResult result;
    result.range = {first, end};
    // A block cut by either end would announce 16 bytes and carry fewer, or be
    // left unsent; words past the chip would wrap onto its first ones: such
    // ranges are refused whole.
    result.rangeRefused = TablePlacement::ZonesRefusees(texts.rangeRefused, {result.range}, device);
    if (!result.rangeRefused.isEmpty()) {
        result.stop = WriteRangeResult::Stop::RangeRefused;
        result.block = first;
        return result;
    }
    const QString text =
        texts.progressCode + ' ' + QString::number(progress.blockCount) + ' ' + texts.blocks + ' ';
    for (int block = first; block < end; block += WordsPerFrame) {
        result.block = block;
        if (cancel.cancelled()) {
            result.stop = WriteRangeResult::Stop::Cancelled;
            return result;
        }
        const int w = block + WordsPerFrame - 1;
        sink.setBar(1, progress.percent ? std::nearbyint(progress.percent(w)) : 0, text);
        result.reply = BootloaderCommand(port, WriteFrame, BootloaderFrame(device.ImagePIC, block));
        if (!result.reply.ok()) {
            result.stop = WriteRangeResult::Stop::Refused;
            return result;
        }
        ++result.framesAccepted;
    }
    result.stop = WriteRangeResult::Stop::Done;
    return result;
}

QString BootloaderFailureCause(const BootloaderReply &reply, const BootloaderTexts &texts)
{
    using VEK_LANGUAGE::ReplacePlaceholders;
    switch (reply.status) {
    case BootloaderStatus::Accepted:
        return {};
    case BootloaderStatus::LineLost:
        return texts.lostLine(reply.line);
    case BootloaderStatus::NoAnswer:
        return ReplacePlaceholders(texts.noAnswer,
                                   {"{MS}", QString::number(VEK_BOOTLOADER::CommandTimeoutMs)});
    case BootloaderStatus::WrongAnswer:
    case BootloaderStatus::ShortAnswer:
        return ReplacePlaceholders(texts.wrongAnswer, {"{REPONSE}", StrToHexDump(reply.answer)});
    case BootloaderStatus::NotACommand: // never judged: nothing the module said
        break;
    }
    return {};
}

QString BootloaderRangeMessage(const WriteRangeResult &result, const BootloaderTexts &texts)
{
    using VEK_LANGUAGE::ReplacePlaceholders;
    const QString adr = address(result.block);
    switch (result.stop) {
    case WriteRangeResult::Stop::Done:
        return {};
    case WriteRangeResult::Stop::RangeRefused:
        return result.rangeRefused;
    case WriteRangeResult::Stop::Cancelled:
        return ReplacePlaceholders(texts.cancelled, {"{ADR}", adr});
    case WriteRangeResult::Stop::Refused:
        break;
    }
    switch (result.reply.status) {
    case BootloaderStatus::NoAnswer:
        return texts.timeout + QStringLiteral(" [0x") + adr + ']';
    case BootloaderStatus::LineLost:
        return texts.lostLine(result.reply.line) + QStringLiteral(" [0x") + adr + ']';
    case BootloaderStatus::ShortAnswer:
        return ReplacePlaceholders(texts.blockShort,
                                   {"{ADR}", adr, "{REPONSE}", StrToHexDump(result.reply.answer)});
    default:
        return ReplacePlaceholders(texts.blockRefused,
                                   {"{ADR}", adr, "{REPONSE}", StrToHexDump(result.reply.answer)});
    }
}
