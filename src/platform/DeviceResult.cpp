#include "platform/DeviceResult.h"

#include <cstring>

QString DeviceErrorText(const QString &path, int errnum)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errnum));
}
