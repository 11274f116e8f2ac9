#include "platform/AskedSerialDevice.h"

#include "platform/SerialPortNames.h"
#include "platform/SystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>

AskedSerialDevice::AskedSerialDevice(const QString &device)
    : AskedSerialDevice(device, SystemCalls::real())
{}

AskedSerialDevice::AskedSerialDevice(const QString &device, SystemCalls &calls) : m_calls(calls)
{
    m_fd =
        calls.open(device.toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        if (DeviceFaultOf(errno) == DeviceFault::NoSuchPort) {
            m_refusal.emplace();
            m_refusal->error = DeviceErrorText(device, errno);
            m_refusal->fault = DeviceFault::NoSuchPort;
        }
        return;
    }
    termios attributes{};
    if (calls.ioctl(m_fd, TCGETS, &attributes) != 0 && errno == ENOTTY)
        m_refusal = SerialPortNames::NotASerialPort(device);
}

AskedSerialDevice::~AskedSerialDevice()
{
    if (m_fd >= 0)
        m_calls.close(m_fd);
}
