#include "platform/SerialPortLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <cerrno>
#include <mutex>
#include <signal.h>

namespace {

std::mutex g_foldersMutex;
QStringList g_folders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};

// The devices our locks hold, whatever the lock files say (windows open ports
// from worker threads too).
std::mutex g_heldMutex;
QSet<QString> g_held;

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
    // As QSerialPort names them: a device outside /dev by its whole path, so
    // that devices of one name in two folders do not share a lock.
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

qint64 SerialPortLock::holderPid(const QString &device)
{
    // A file naming us is ours only while one of our locks holds the port
    // (heldHere); else our PID is another run's, used again.
    for (const QString &folder : folders()) {
        const qint64 pid = pidIn(folder + QLatin1Char('/') + fileName(device));
        if (pid != 0 && pid != QCoreApplication::applicationPid() && alive(pid))
            return pid;
    }
    return 0;
}

bool SerialPortLock::heldHere(const QString &device)
{
    const std::lock_guard lock(g_heldMutex);
    return g_held.contains(device);
}

void SerialPortLock::markInUse(DeviceFailure &failure, const QString &device)
{
    failure.fault = DeviceFault::InUse;
    failure.holder.clear();
    failure.heldHere = heldHere(device);
    if (failure.heldHere)
        return;
    const qint64 pid = holderPid(device);
    if (pid == 0)
        return;
    const QString name = processName(pid);
    failure.holder = name.isEmpty() ? QStringLiteral("PID %1").arg(pid)
                                    : QStringLiteral("%1 (PID %2)").arg(name).arg(pid);
}

DeviceResult<SerialPortLock> SerialPortLock::take(const QString &device, File file)
{
    DeviceResult<SerialPortLock> result;
    const auto inUse = [&result, &device] {
        markInUse(result, device);
        result.error =
            device + QStringLiteral(": in use") +
            (result.holder.isEmpty() ? QString() : QStringLiteral(" by ") + result.holder);
        return std::move(result);
    };
    std::unique_ptr<SerialPortLock> held;
    {
        const std::lock_guard lock(g_heldMutex);
        if (!g_held.contains(device)) {
            g_held.insert(device);
            held.reset(new SerialPortLock(device));
        }
    }
    if (!held)
        return inUse();
    if (holderPid(device) != 0) {
        held.reset();
        return inUse();
    }
    for (const QString &folder : folders()) {
        if (!QFileInfo(folder).isWritable())
            continue;
        const QString path = folder + QLatin1Char('/') + fileName(device);
        // Neither another live process nor one of our locks holds it: what is
        // left there is stale, whatever its format and whoever it names.
        QFile::remove(path);
        if (file == File::LeftToTheOpening)
            continue;
        auto lockFile = std::make_unique<QLockFile>(path);
        lockFile->setStaleLockTime(0);
        if (lockFile->tryLock(0)) {
            held->m_file = std::move(lockFile);
            break;
        }
        if (lockFile->error() == QLockFile::LockFailedError) { // taken meanwhile
            held.reset();
            return inUse();
        }
    }
    result.device = std::move(held);
    return result;
}

SerialPortLock::SerialPortLock(const QString &device) : m_device(device) {}

SerialPortLock::~SerialPortLock()
{
    // The file goes first: once the port is free to our other windows, a
    // file still there would be taken for stale and removed under them.
    m_file.reset();
    const std::lock_guard lock(g_heldMutex);
    g_held.remove(m_device);
}
