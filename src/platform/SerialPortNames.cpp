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

} // namespace SerialPortNames
