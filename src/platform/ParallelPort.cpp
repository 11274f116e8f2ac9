#include "platform/ParallelPort.h"

#include "platform/SerialPortNames.h"
#include "platform/SystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

QString PpdevPort::DeviceFor(const QString &port)
{
    // "LPTn" by the one port rule (and its device folder); a path as given.
    const QString name = port.trimmed();
    const SerialPortNames::NamedPort named = SerialPortNames::PortNamed(name);
    return named.kind == SerialPortNames::PortKind::Parallel ? named.device : name;
}

DeviceResult<PpdevPort> PpdevPort::open(const QString &port, SystemCalls &calls)
{
    DeviceResult<PpdevPort> result;
    const QString device = DeviceFor(port);
    const int fd = calls.open(device.toLocal8Bit().constData(), O_RDWR);
    if (fd < 0) {
        result.fail(device, errno);
        return result;
    }
    if (calls.ioctl(fd, PPCLAIM, nullptr) != 0) {
        result.fail(device, errno);
        calls.close(fd);
        return result;
    }
    result.device.reset(new PpdevPort(fd, device, calls));
    return result;
}

PpdevPort::~PpdevPort()
{
    m_calls.ioctl(m_fd, PPRELEASE, nullptr);
    m_calls.close(m_fd);
}

bool PpdevPort::write(unsigned long request, uint8_t value)
{
    unsigned char byte = value;
    if (m_calls.ioctl(m_fd, request, &byte) == 0)
        return true;
    m_error = DeviceErrorText(m_device, errno);
    return false;
}

std::optional<uint8_t> PpdevPort::read(unsigned long request)
{
    unsigned char byte = 0;
    if (m_calls.ioctl(m_fd, request, &byte) == 0)
        return byte;
    m_error = DeviceErrorText(m_device, errno);
    return std::nullopt;
}

bool PpdevPort::writeData(uint8_t value)
{
    return write(PPWDATA, value);
}

std::optional<uint8_t> PpdevPort::readData()
{
    return read(PPRDATA);
}

bool PpdevPort::writeControl(uint8_t value)
{
    return write(PPWCONTROL, value);
}

std::optional<uint8_t> PpdevPort::readControl()
{
    return read(PPRCONTROL);
}

std::optional<uint8_t> PpdevPort::readStatus()
{
    return read(PPRSTATUS);
}
