#pragma once

#include <QString>
#include <QStringList>

class SystemCalls;

// What the programmer needs of the system to reach the parallel port on Linux:
// the kernel's parport and ppdev modules, the device /dev/parport0, the right to
// open it and to claim it. Nothing is installed or started by the program (the
// kernel is the driver); this service only finds out whether the port is usable
// and, if not, what is missing.
struct PortAccessStatus {
    enum class State {
        Running, // modules loaded, device opened and claimed
        Stopped, // modules and device there, but the device cannot be opened or claimed
        Missing, // a module, the device or the right to open it is missing
    };
    State state = State::Missing;
    QStringList missingModules; // "parport", "ppdev"
    bool deviceMissing = false;
    bool permissionDenied = false;
    QString device;      // path of the device as the system names it
    QString deviceGroup; // group that owns the device (the one to join)
    QString systemError; // "<device>: <system reason>" of a failed open or claim

    // "Running", "Stopped", or "" when something is missing.
    QString stateName() const;
};

class PortAccessService
{
public:
    // `root` stands for "/" before /sys, /proc and /dev (tests give a fake tree).
    explicit PortAccessService(QString root = QStringLiteral("/"));
    PortAccessService(QString root, SystemCalls &calls);

    static QString DevicePath() { return QStringLiteral("/dev/parport0"); }

    PortAccessStatus status() const;

    // Parallel-port devices present (/dev/parport0, /dev/parport1...), as the
    // system names them.
    QStringList parallelDevices() const;

private:
    QString under(const QString &systemPath) const;
    bool moduleLoaded(const QString &module, const QString &procModules) const;
    void tryClaim(PortAccessStatus &status) const;

    QString root_;
    SystemCalls &calls_;
};
