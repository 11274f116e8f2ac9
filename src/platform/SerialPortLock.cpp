#include "platform/SerialPortLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <mutex>
#include <signal.h>

namespace {

std::mutex g_foldersMutex;
QStringList g_folders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};

// The PID on the first line of a lock file; 0 when there is none to read.
qint64 pidIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    bool ok = false;
    const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

bool alive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

QString processName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readAll().trimmed());
}

} // namespace

void SerialPortLock::setFolders(const QStringList &folders)
{
    const std::lock_guard lock(g_foldersMutex);
    g_folders = folders;
}

QStringList SerialPortLock::folders()
{
    const std::lock_guard lock(g_foldersMutex);
    return g_folders;
}

QString SerialPortLock::fileName(const QString &device)
{
    QString name =
        device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : QFileInfo(device).fileName();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

qint64 SerialPortLock::holderPid(const QString &device)
{
    for (const QString &folder : folders()) {
        const qint64 pid = pidIn(folder + QLatin1Char('/') + fileName(device));
        if (pid != 0 && alive(pid))
            return pid;
    }
    return 0;
}

void SerialPortLock::markInUse(DeviceFailure &failure, const QString &device)
{
    failure.fault = DeviceFault::InUse;
    failure.holder.clear();
    failure.heldHere = false;
    const qint64 pid = holderPid(device);
    if (pid == 0)
        return;
    if (pid == QCoreApplication::applicationPid()) {
        failure.heldHere = true;
        return;
    }
    const QString name = processName(pid);
    failure.holder = name.isEmpty() ? QStringLiteral("PID %1").arg(pid)
                                    : QStringLiteral("%1 (PID %2)").arg(name).arg(pid);
}

DeviceResult<SerialPortLock> SerialPortLock::take(const QString &device)
{
    DeviceResult<SerialPortLock> result;
    const auto inUse = [&result, &device] {
        markInUse(result, device);
        result.error =
            device + QStringLiteral(": in use") +
            (result.holder.isEmpty() ? QString() : QStringLiteral(" by ") + result.holder);
        return std::move(result);
    };
    if (holderPid(device) != 0)
        return inUse();
    for (const QString &folder : folders()) {
        if (!QFileInfo(folder).isWritable())
            continue;
        const QString path = folder + QLatin1Char('/') + fileName(device);
        // Nobody alive holds it: what is left there is stale, whatever its format.
        QFile::remove(path);
        auto file = std::make_unique<QLockFile>(path);
        file->setStaleLockTime(0);
        if (file->tryLock(0)) {
            result.device.reset(new SerialPortLock(std::move(file)));
            return result;
        }
        if (file->error() == QLockFile::LockFailedError) // taken meanwhile
            return inUse();
    }
    result.device.reset(new SerialPortLock(nullptr));
    return result;
}

SerialPortLock::SerialPortLock(std::unique_ptr<QLockFile> file) : m_file(std::move(file)) {}

SerialPortLock::~SerialPortLock() = default;
