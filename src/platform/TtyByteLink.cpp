#include "platform/TtyByteLink.h"

#include "platform/SerialLineStatus.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The line may be held this long on top of the time the bytes take.
constexpr int HeldLineMs = 2000;

} // namespace

DeviceResult<TtyByteLink> TtyByteLink::open(const QString &device, const QString &settingsText)
{
    auto tty = RawTty::open(device, settingsText);
    DeviceResult<TtyByteLink> result;
    if (!tty)
        result.failAs(tty);
    else
        result.device = std::make_unique<TtyByteLink>(std::move(tty.device));
    return result;
}

ByteLink::Status TtyByteLink::fail(int errnum)
{
    m_error = DeviceErrorText(m_tty->device(), errnum);
    return IsDeviceGone(errnum) ? Status::Closed : Status::Failed;
}

ByteLink::Status TtyByteLink::write(const QByteArray &bytes)
{
    // Time-outs of an answer count from when the question has left the wire. A
    // line held by its handshaking longer than the bytes can take fails the
    // exchange rather than hanging it (a millisecond a byte is 9600 bauds).
    const int timeoutMs = HeldLineMs + int(std::min<qsizetype>(bytes.size(), 1 << 20));
    const SerialLineStatus::WriteOutcome sent =
        SerialLineStatus::WriteWithin(m_tty->fd(), bytes, timeoutMs);
    switch (sent.end) {
    case SerialLineStatus::WriteOutcome::Sent:
        return Status::Ok;
    case SerialLineStatus::WriteOutcome::Held:
        return fail(ETIMEDOUT);
    case SerialLineStatus::WriteOutcome::Failed:
        break;
    }
    return fail(sent.error);
}

ByteLink::Status TtyByteLink::read(QByteArray &into, qsizetype count, qint64 timeoutMs)
{
    const int fd = m_tty->fd();
    const qint64 deadline = nowMs() + timeoutMs;
    char buffer[4096];
    while (count > 0) {
        const ssize_t n = ::read(fd, buffer, size_t(std::min<qsizetype>(count, sizeof buffer)));
        if (n > 0) {
            into.append(buffer, n);
            count -= n;
            continue;
        }
        if (n == 0)
            return fail(EIO); // end of file: the other side is gone
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return fail(errno);
        const qint64 left = deadline - nowMs();
        if (left <= 0)
            return Status::TimedOut;
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(std::min<qint64>(left, 1000)));
        if (ready < 0 && errno != EINTR)
            return fail(errno);
        if (ready > 0 && !(p.revents & POLLIN) && (p.revents & (POLLHUP | POLLERR)))
            return fail(EIO);
    }
    return Status::Ok;
}

qsizetype TtyByteLink::available()
{
    int n = 0;
    return ::ioctl(m_tty->fd(), FIONREAD, &n) == 0 ? n : 0;
}

void TtyByteLink::discardInput()
{
    tcflush(m_tty->fd(), TCIFLUSH);
}
