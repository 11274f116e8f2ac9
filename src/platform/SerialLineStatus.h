#pragma once

#include "platform/SystemCalls.h"

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// Modem lines and line-error counters of an open tty, read straight from the
// driver. Devices without them (pseudo-terminals) give no value.
namespace SerialLineStatus {

struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool cd = false;
    bool rts = false;
};

struct ErrorCounts {
    quint32 framing = 0;
    quint32 overrun = 0;
    quint32 parity = 0;
    quint32 breaks = 0;
    quint32 bufferOverrun = 0;
};

std::optional<ModemLines> ReadModemLines(int fd);
std::optional<ErrorCounts> ReadErrorCounts(int fd);
// How a bounded write ended: every byte left the tty; the line was held (its
// handshaking stopped the output, or the far side stopped reading) until the
// time ran out; or the write failed (`error` is the errno).
struct WriteOutcome {
    enum End { Sent, Held, Failed } end = Sent;
    int error = 0;
};

// Writes `bytes` to the non-blocking tty `fd` and waits until they have left
// it, giving up after `timeoutMs`: a line held by RTS/CTS or XON/XOFF must not
// block the caller for ever, as tcdrain() would.
// `calls` tells how much output the driver still holds.
WriteOutcome WriteWithin(int fd, const QByteArray &bytes, int timeoutMs,
                         SystemCalls &calls = SystemCalls::real());

// Before a close: lets what was written leave the tty for at most `timeoutMs`,
// then throws away what a held line kept back, so that closing the tty does
// not wait for the line (a serial driver waits up to 30 s). False when
// something was thrown away.
bool SettleOutput(int fd, int timeoutMs, SystemCalls &calls = SystemCalls::real());

} // namespace SerialLineStatus
