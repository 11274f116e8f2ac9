#pragma once

#include "platform/DeviceResult.h"

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// The lock file by which Linux serial programs keep off a port that another
// one holds: "LCK.." and the device's name under /dev ('/' written '_') in
// /var/lock or /run/lock, its first line the holder's PID. QSerialPort keeps
// the same files, so the live link and the transfers see each other's locks.
class SerialPortLock
{
public:
    // Takes the lock of `device`. Fails as a port in use, naming the holder,
    // while a live process holds it; a lock whose process is gone is taken
    // over. Without a writable lock folder nothing is taken (the exclusive
    // opening of the port still keeps other programs off).
    static DeviceResult<SerialPortLock> take(const QString &device);
    // The PID in a live lock of `device`; 0 when no live process holds one.
    static qint64 holderPid(const QString &device);
    // Marks `failure` as a port in use, with who holds it by the lock files:
    // another program by name and PID, this program (another of its windows)
    // as such, nobody when no live lock is found. A lock of our own must be
    // let go first, or we would name ourselves.
    static void markInUse(DeviceFailure &failure, const QString &device);
    // The lock file's name for `device` ("LCK..ttyS0", "LCK..pts_3").
    static QString fileName(const QString &device);
    // Where lock files are looked for, the first writable one taking ours
    // (tests use folders of their own).
    static void setFolders(const QStringList &folders);
    static QStringList folders();

    ~SerialPortLock();
    SerialPortLock(const SerialPortLock &) = delete;
    SerialPortLock &operator=(const SerialPortLock &) = delete;

private:
    explicit SerialPortLock(std::unique_ptr<QLockFile> file);
    std::unique_ptr<QLockFile> m_file;
};
