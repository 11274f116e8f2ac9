#include "platform/SerialLineStatus.h"

#include "platform/Clock.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <unistd.h>

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

namespace {

// Bytes written to the tty that have not left it yet; 0 when the driver cannot tell.
int pendingOutput(int fd, SystemCalls &calls)
{
    int pending = 0;
    return calls.ioctl(fd, TIOCOUTQ, &pending) == 0 ? pending : 0;
}

// Waits until the driver's queue is empty, at the line's pace (a few
// milliseconds for a command), or the deadline has passed.
bool drainedBy(int fd, qint64 deadline, SystemCalls &calls)
{
    const SteadyClock &clock = SteadyClock::instance();
    while (pendingOutput(fd, calls) > 0) {
        if (clock.nowMs() >= deadline)
            return false;
        clock.sleepMs(1);
    }
    return true;
}

} // namespace

WriteOutcome WriteWithin(int fd, const QByteArray &bytes, int timeoutMs, SystemCalls &calls)
{
    if (fd < 0)
        return {WriteOutcome::Failed, EBADF};
    const SteadyClock &clock = SteadyClock::instance();
    const qint64 deadline = clock.nowMs() + timeoutMs;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return {WriteOutcome::Failed, errno};
        const qint64 left = deadline - clock.nowMs();
        if (left <= 0)
            return {WriteOutcome::Held, 0};
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR)
            return {WriteOutcome::Failed, errno};
        if (p.revents & (POLLHUP | POLLERR))
            return {WriteOutcome::Failed, EIO};
    }
    if (!drainedBy(fd, deadline, calls))
        return {WriteOutcome::Held, 0};
    return {};
}

bool SettleOutput(int fd, int timeoutMs, SystemCalls &calls)
{
    if (fd < 0 || drainedBy(fd, SteadyClock::instance().nowMs() + timeoutMs, calls))
        return true;
    ::tcflush(fd, TCOFLUSH);
    return false;
}

} // namespace SerialLineStatus
