#pragma once

#include "platform/DeviceResult.h"

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// The lock file by which Linux serial programs keep off a port that another
// one holds: "LCK.." and the device's name under /dev, or its whole path
// outside /dev ('/' written '_'), in /var/lock or /run/lock, its first line the
// holder's PID. QSerialPort keeps
// the same files, so the live link and the transfers see each other's locks.
//
// The ports this program holds are known in the process itself, not from the
// lock files: a PID in a lock file may be ours by chance (a PID used again
// after a crash left the file behind), and such a file is stale unless one of
// our locks holds the port.
class SerialPortLock
{
public:
    // Who writes the lock file: the lock itself (raw ttys), or the opening
    // that follows, which writes its own (QSerialPort); then the lock only
    // clears a stale file out of its way.
    enum class File { Written, LeftToTheOpening };

    // Takes the lock of `device`. Fails as a port in use while another lock
    // of ours holds it, or a live process other than ours holds its lock
    // file (naming it); any other lock file is stale and taken over. Without
    // a writable lock folder no file is written (the exclusive opening of the
    // port still keeps other programs off).
    static DeviceResult<SerialPortLock> take(const QString &device, File file = File::Written);
    // The PID in a live lock file of `device` when another process holds it;
    // 0 when none does.
    static qint64 holderPid(const QString &device);
    // True while a lock of this process holds `device`.
    static bool heldHere(const QString &device);
    // Marks `failure` as a port in use, with who holds it: this program
    // (another of its windows) as such, else another program by name and PID
    // when a live lock file names it, else nobody. A lock of our own for the
    // failed attempt must be let go first, or we would name ourselves.
    static void markInUse(DeviceFailure &failure, const QString &device);
    // The lock file's name for `device` ("LCK..ttyS0", "LCK..pts_3",
    // "LCK.._tmp_ports_ttyS1").
    static QString fileName(const QString &device);
    // Where lock files are looked for, the first writable one taking ours
    // (tests use folders of their own).
    static void setFolders(const QStringList &folders);
    static QStringList folders();

    ~SerialPortLock();
    SerialPortLock(const SerialPortLock &) = delete;
    SerialPortLock &operator=(const SerialPortLock &) = delete;

private:
    explicit SerialPortLock(const QString &device);
    QString m_device;
    std::unique_ptr<QLockFile> m_file;
};
