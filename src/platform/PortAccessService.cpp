#include "platform/PortAccessService.h"

#include "platform/DeviceResult.h"
#include "platform/SystemCalls.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

namespace {

const char *const kModules[] = {"parport", "ppdev"};

QString readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.read(1 << 20)); // /proc/modules is a few KiB
}

} // namespace

QString PortAccessStatus::stateName() const
{
    switch (state) {
    case State::Running:
        return QStringLiteral("Running");
    case State::Stopped:
        return QStringLiteral("Stopped");
    case State::Missing:
        break;
    }
    return {};
}

PortAccessService::PortAccessService(QString root)
    : PortAccessService(std::move(root), SystemCalls::real())
{}

PortAccessService::PortAccessService(QString root, SystemCalls &calls)
    : root_(std::move(root)), calls_(calls)
{}

QString PortAccessService::under(const QString &systemPath) const
{
    if (root_.isEmpty() || root_ == QLatin1String("/"))
        return systemPath;
    return QDir::cleanPath(root_ + systemPath);
}

bool PortAccessService::moduleLoaded(const QString &module, const QString &procModules) const
{
    // A module built into the kernel has no line in /proc/modules but may have
    // its folder in /sys/module.
    if (QFileInfo(under(QStringLiteral("/sys/module/") + module)).isDir())
        return true;
    const QString line = module + QLatin1Char(' ');
    for (const QStringView l : QStringView(procModules).split(QLatin1Char('\n')))
        if (l.startsWith(line))
            return true;
    return false;
}

PortAccessStatus PortAccessService::status() const
{
    PortAccessStatus status;
    status.device = DevicePath();
    const QString procModules = readSmallFile(under(QStringLiteral("/proc/modules")));
    for (const char *module : kModules)
        if (!moduleLoaded(QString::fromLatin1(module), procModules))
            status.missingModules << QString::fromLatin1(module);

    const QFileInfo device(under(status.device));
    if (!device.exists()) {
        status.deviceMissing = true;
        return status;
    }
    status.deviceGroup = device.group();
    tryClaim(status);
    // A device node left without its modules cannot work: say which are missing.
    if (status.state == PortAccessStatus::State::Stopped && !status.missingModules.isEmpty())
        status.state = PortAccessStatus::State::Missing;
    return status;
}

void PortAccessService::tryClaim(PortAccessStatus &status) const
{
    const QString path = under(status.device);
    const int fd = calls_.open(path.toLocal8Bit().constData(), O_RDWR);
    if (fd < 0) {
        const int error = errno;
        status.systemError = DeviceErrorText(status.device, error);
        status.permissionDenied = error == EACCES || error == EPERM;
        status.state = status.permissionDenied ? PortAccessStatus::State::Missing
                                               : PortAccessStatus::State::Stopped;
        return;
    }
    if (calls_.ioctl(fd, PPCLAIM, nullptr) != 0) {
        status.systemError = DeviceErrorText(status.device, errno);
        status.state = PortAccessStatus::State::Stopped;
    } else {
        calls_.ioctl(fd, PPRELEASE, nullptr);
        status.state = PortAccessStatus::State::Running;
        status.missingModules.clear(); // built in, since the port works
    }
    calls_.close(fd);
}

QStringList PortAccessService::parallelDevices() const
{
    QStringList devices;
    const QDir dev(under(QStringLiteral("/dev")));
    for (const QString &name :
         dev.entryList({QStringLiteral("parport*")}, QDir::System | QDir::Files, QDir::Name))
        devices << QStringLiteral("/dev/") + name;
    return devices;
}
