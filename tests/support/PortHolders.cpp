#include "PortHolders.h"

#include <QFile>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

LinkedPty::LinkedPty()
{
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return;
    device = QString::fromLocal8Bit(::ptsname(master));
    link = folder.filePath(QStringLiteral("vekport"));
    if (!QFile::link(device, link))
        link.clear();
}

LinkedPty::~LinkedPty()
{
    if (master >= 0)
        ::close(master);
}

NumberedPorts::NumberedPorts()
{
    qputenv("VEK_DEVICE_DIR", QFile::encodeName(folder.path()));
}

NumberedPorts::~NumberedPorts()
{
    qunsetenv("VEK_DEVICE_DIR");
}

bool NumberedPorts::link(const QString &name, const QString &device)
{
    return QFile::link(device, folder.filePath(name));
}

ForeignPortHolder::ForeignPortHolder(const QString &device)
{
    const QByteArray path = device.toLocal8Bit();
    int ready[2], release[2];
    if (::pipe(ready) != 0)
        return;
    if (::pipe(release) != 0) {
        ::close(ready[0]), ::close(ready[1]);
        return;
    }
    m_pid = ::fork();
    if (m_pid == 0) {
        // The child: only calls that are safe after a fork, then _exit().
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const char held =
            fd >= 0 && ::ioctl(fd, TIOCEXCL) == 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? '1'
                                                                                         : '0';
        (void)!::write(ready[1], &held, 1);
        char byte;
        (void)!::read(release[0], &byte, 1); // until the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char held = '0';
    if (m_pid > 0 && ::read(ready[0], &held, 1) == 1)
        m_holding = held == '1';
    ::close(ready[0]);
}

ForeignPortHolder::~ForeignPortHolder()
{
    if (m_release >= 0)
        ::close(m_release);
    if (m_pid > 0)
        ::waitpid(m_pid, nullptr, 0);
}
