#include "platform/SerialPortNames.h"

#include <QFileInfo>

#include <algorithm>

namespace SerialPortNames {

QString DeviceForPortNumber(int number)
{
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
}

bool IsDevicePath(const QString &text)
{
    return text.startsWith(QStringLiteral("/dev/")) && text.size() > 5;
}

QString SerialDeviceOf(const QString &setting)
{
    if (IsDevicePath(setting))
        return setting;
    if (!setting.startsWith(QLatin1String("COM")))
        return {};
    // Digits only: "COM 3" or "COM+3" are slips, not ports.
    const QString digits = setting.mid(3);
    const bool onlyDigits = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                             [](QChar c) { return c.isDigit(); });
    const int number = onlyDigits ? digits.toInt() : 0;
    return number >= 1 ? DeviceForPortNumber(number) : QString();
}

QString TypedPort(const QString &text)
{
    const QString typed = text.trimmed();
    if (!typed.startsWith(QLatin1Char('/')) || IsDevicePath(typed))
        return typed;
    const QString target = QFileInfo(typed).canonicalFilePath();
    return IsDevicePath(target) ? target : typed;
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
