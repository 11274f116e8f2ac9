#include "platform/ModemLines.h"

#include "platform/SystemCalls.h"

#include <cerrno>
#include <sys/ioctl.h>

TtyModemLines::TtyModemLines(int fd, const QString &device, SystemCalls &calls)
    : m_fd(fd), m_device(device), m_calls(calls)
{}

bool TtyModemLines::call(unsigned long request, void *arg)
{
    if (m_calls.ioctl(m_fd, request, arg) == 0)
        return true;
    m_error = DeviceErrorText(m_device, errno);
    return false;
}

bool TtyModemLines::present()
{
    int bits = 0;
    if (m_calls.ioctl(m_fd, TIOCMGET, &bits) == 0)
        return true;
    m_error = DeviceErrorText(m_device, errno);
    return errno != ENOTTY && errno != EINVAL;
}

bool TtyModemLines::setTxd(bool on)
{
    return call(on ? TIOCSBRK : TIOCCBRK, nullptr);
}

bool TtyModemLines::setBit(int bit, bool on)
{
    return call(on ? TIOCMBIS : TIOCMBIC, &bit);
}

bool TtyModemLines::setRts(bool on)
{
    return setBit(TIOCM_RTS, on);
}

bool TtyModemLines::setDtr(bool on)
{
    return setBit(TIOCM_DTR, on);
}

std::optional<ModemLines::Outputs> TtyModemLines::outputs()
{
    int bits = 0;
    if (!call(TIOCMGET, &bits))
        return std::nullopt;
    return Outputs{(bits & TIOCM_RTS) != 0, (bits & TIOCM_DTR) != 0};
}

std::optional<bool> TtyModemLines::cts()
{
    int bits = 0;
    if (!call(TIOCMGET, &bits))
        return std::nullopt;
    return (bits & TIOCM_CTS) != 0;
}
