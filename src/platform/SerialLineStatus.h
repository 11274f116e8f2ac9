#pragma once

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
// Waits until what was written to the tty has left it.
bool DrainOutput(int fd);

} // namespace SerialLineStatus
