#include "platform/DeviceResult.h"

#include <cerrno>
#include <cstring>

QString DeviceErrorText(const QString &path, int errnum)
{
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errnum));
}

bool IsDeviceGone(int errnum)
{
    return errnum == EIO || errnum == ENXIO || errnum == ENODEV;
}

DeviceFault DeviceFaultOf(int errnum)
{
    switch (errnum) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return DeviceFault::NoSuchPort;
    case EACCES:
    case EPERM:
        return DeviceFault::Denied;
    case EBUSY:
        return DeviceFault::InUse;
    default:
        return DeviceFault::Other;
    }
}
