#pragma once

#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

// A pseudo-terminal pair standing in for a serial port, with a link to its
// device in a folder of its own, as socat makes them: a port named by a path
// outside /dev.
struct LinkedPty {
    LinkedPty();
    ~LinkedPty();
    LinkedPty(const LinkedPty &) = delete;
    LinkedPty &operator=(const LinkedPty &) = delete;

    int master = -1;
    QString device; // "/dev/pts/N"
    QString link;   // "<folder>/vekport", leading to `device`
    QTemporaryDir folder;
};

// The devices that "COMn" and "LPTn" name, in a folder of the test's own
// (VEK_DEVICE_DIR) in place of the machine's /dev, whose ports vary: only the
// devices linked here are there. The variable is cleared again at the end.
struct NumberedPorts {
    NumberedPorts();
    ~NumberedPorts();
    NumberedPorts(const NumberedPorts &) = delete;
    NumberedPorts &operator=(const NumberedPorts &) = delete;

    // Makes `name` ("ttyS11", "parport0") a link to `device`.
    bool link(const QString &name, const QString &device);

    QTemporaryDir folder;
};

// Another program holding a port by TIOCEXCL and flock(), without a lock file,
// as some serial programs do: a child process that keeps the device open
// until this object goes.
class ForeignPortHolder
{
public:
    explicit ForeignPortHolder(const QString &device);
    ~ForeignPortHolder();
    ForeignPortHolder(const ForeignPortHolder &) = delete;
    ForeignPortHolder &operator=(const ForeignPortHolder &) = delete;

    // The child holds the port (false when it could not open or lock it).
    bool holding() const { return m_holding; }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    int m_release = -1; // closing it lets the child go
    bool m_holding = false;
};
