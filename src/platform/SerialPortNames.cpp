#include "platform/SerialPortNames.h"

namespace SerialPortNames
{

QString DeviceForPortNumber(int number)
{
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

bool IsDevicePath(const QString &text)
{
    return text.startsWith(QStringLiteral("/dev/")) && text.size() > 5;
}

QString DeviceToOpen(int number, const QString &device)
{
    return device.isEmpty() ? DeviceForPortNumber(number) : device;
}

QString PortCaption(int number, const QString &device)
{
    return number > 0 ? QStringLiteral("COM%1").arg(number) : device;
}

} // namespace SerialPortNames
