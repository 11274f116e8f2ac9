#include "platform/SerialLineStatus.h"

#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

namespace SerialLineStatus {

std::optional<ModemLines> ReadModemLines(int fd)
{
    int bits = 0;
    if (fd < 0 || ::ioctl(fd, TIOCMGET, &bits) != 0)
        return std::nullopt;
    ModemLines lines;
    lines.cts = bits & TIOCM_CTS;
    lines.dsr = bits & TIOCM_DSR;
    lines.cd = bits & TIOCM_CD;
    lines.rts = bits & TIOCM_RTS;
    return lines;
}

std::optional<ErrorCounts> ReadErrorCounts(int fd)
{
    serial_icounter_struct counters{};
    if (fd < 0 || ::ioctl(fd, TIOCGICOUNT, &counters) != 0)
        return std::nullopt;
    ErrorCounts counts;
    counts.framing = quint32(counters.frame);
    counts.overrun = quint32(counters.overrun);
    counts.parity = quint32(counters.parity);
    counts.breaks = quint32(counters.brk);
    counts.bufferOverrun = quint32(counters.buf_overrun);
    return counts;
}

bool DrainOutput(int fd)
{
    if (fd < 0)
        return false;
    int rc;
    do {
        rc = ::tcdrain(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

} // namespace SerialLineStatus
