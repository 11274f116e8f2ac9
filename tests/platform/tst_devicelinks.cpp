#include "PortHolders.h"
#include "TestSupport.h"
#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"
#include "platform/SerialLineStatus.h"
#include "platform/SerialPortLock.h"
#include "platform/SerialPortOpening.h"
#include "platform/SystemCalls.h"
#include "platform/TtyByteLink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The ioctl layer of a tty with modem lines and of a parallel port, kept in memory.
class FakeCalls final : public SystemCalls
{
public:
    int modem = 0;
    bool brk = false;
    uint8_t data = 0, control = 0, status = 0x78;
    bool claimed = false;
    int failWith = 0; // errno of every call when not 0
    QStringList opened;

    int open(const char *path, int) override
    {
        if (failWith)
            return errno = failWith, -1;
        opened << QString::fromLocal8Bit(path);
        return 42;
    }
    int close(int) override { return 0; }
    int ioctl(int fd, unsigned long request, void *arg) override
    {
        if (failWith || fd != 42)
            return errno = failWith ? failWith : EBADF, -1;
        auto *byte = static_cast<unsigned char *>(arg);
        auto *bits = static_cast<int *>(arg);
        switch (request) {
        case TIOCSBRK:
            brk = true;
            break;
        case TIOCCBRK:
            brk = false;
            break;
        case TIOCMBIS:
            modem |= *bits;
            break;
        case TIOCMBIC:
            modem &= ~*bits;
            break;
        case TIOCMGET:
            *bits = modem;
            break;
        case PPCLAIM:
            claimed = true;
            break;
        case PPRELEASE:
            claimed = false;
            break;
        case PPWDATA:
            data = *byte;
            break;
        case PPRDATA:
            *byte = data;
            break;
        case PPWCONTROL:
            control = *byte;
            break;
        case PPRCONTROL:
            *byte = control;
            break;
        case PPRSTATUS:
            *byte = status;
            break;
        default:
            return errno = ENOTTY, -1;
        }
        return 0;
    }
};

// A tty driver whose output queue never empties: a serial port stopped by CTS
// or XOFF for good.
class HeldQueue final : public SystemCalls
{
public:
    int open(const char *, int) override { return errno = ENOSYS, -1; }
    int close(int) override { return 0; }
    int ioctl(int, unsigned long request, void *arg) override
    {
        if (request != TIOCOUTQ)
            return errno = ENOTTY, -1;
        *static_cast<int *>(arg) = 3;
        return 0;
    }
};

} // namespace

class TestDeviceLinks : public QObject
{
    Q_OBJECT
private slots:
    void byteLinkBothWaysAndDeadlines();
    void byteLinkReportsClosedPeerAndBadDevice();
    void modemLinesDriveTheIoctls();
    void parallelPortClaimsAndMapsRegisters();
    void boundedWriteGivesUpOnAHeldLine();
    void aPortHasOneOwner();
    void aLockOfAnotherProgramNamesIt();
    void aLockNamingUsIsStaleUnlessWeHoldThePort();
    void withoutALockFolderThePortStillOpens();
    void devicesNoOpeningCanUseTakeNoLock_data();
    void devicesNoOpeningCanUseTakeNoLock();
    void holdersWithoutALockAreNotUs_data();
    void holdersWithoutALockAreNotUs();
    void aLinkOpensTheDeviceItLeadsTo();
    void theDeviceOutlivesItsLockFile();
};

void TestDeviceLinks::byteLinkBothWaysAndDeadlines()
{
    LinkedPty pty;
    QVERIFY(!pty.device.isEmpty());
    auto opened = TtyByteLink::open(pty.device, "57600,N,8,1");
    QVERIFY2(opened, qPrintable(opened.error));
    ByteLink &link = *opened.device;

    // Out: every byte, the marker and zero among them.
    const QByteArray frame = QByteArray::fromHex("0f2300ff0d0a23");
    QCOMPARE(link.write(frame), ByteLink::Status::Ok);
    QByteArray got(frame.size(), 0);
    QCOMPARE(::read(pty.master, got.data(), size_t(got.size())), ssize_t(frame.size()));
    QCOMPARE(got, frame);

    // In: what came is returned as soon as it is complete.
    QCOMPARE(::write(pty.master, "abc", 3), ssize_t(3));
    QTRY_COMPARE(link.available(), qsizetype(3));
    QByteArray in;
    QCOMPARE(link.read(in, 2, 1000), ByteLink::Status::Ok);
    QCOMPARE(in, QByteArray("ab"));

    // A read that cannot complete ends at its deadline with what came: not
    // before it (counted in whole milliseconds), and long before a second (a
    // slow machine takes longer).
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(link.read(in, 5, 150), ByteLink::Status::TimedOut);
    const qint64 took = timer.elapsed();
    QVERIFY2(took >= 150 - 1 && took < 1000, qPrintable(QString::number(took)));
    QCOMPARE(in, QByteArray("abc"));

    QCOMPARE(::write(pty.master, "zz", 2), ssize_t(2));
    QTRY_COMPARE(link.available(), qsizetype(2));
    link.discardInput();
    QCOMPARE(link.available(), qsizetype(0));
}

void TestDeviceLinks::byteLinkReportsClosedPeerAndBadDevice()
{
    auto pty = std::make_unique<LinkedPty>();
    auto opened = TtyByteLink::open(pty->device, "9600,N,8,1");
    QVERIFY(opened);
    pty.reset(); // the other end goes away
    QByteArray in;
    QCOMPARE(opened.device->read(in, 1, 1000), ByteLink::Status::Closed);
    QVERIFY(!opened.device->errorText().isEmpty());

    // A setting that names no serial port gives no device: not a port, not a missing one.
    const auto unnamed = TtyByteLink::open(QString(), "9600,N,8,1");
    QVERIFY(!unnamed);
    QCOMPARE(int(unnamed.fault), int(DeviceFault::NotAPort));
    LinkedPty other;
    const auto badSettings = TtyByteLink::open(other.device, "12345,N,8,1");
    QVERIFY(!badSettings);
    QVERIFY(badSettings.error.contains("12345,N,8,1"));
}

void TestDeviceLinks::modemLinesDriveTheIoctls()
{
    FakeCalls calls;
    TtyModemLines lines(42, "/dev/ttyS0", calls);
    QVERIFY(lines.setTxd(true));
    QVERIFY(calls.brk);
    QVERIFY(lines.setRts(true) && lines.setDtr(true));
    QCOMPARE(calls.modem, TIOCM_RTS | TIOCM_DTR);
    QVERIFY(lines.setRts(false));
    QCOMPARE(calls.modem, TIOCM_DTR);
    QVERIFY(lines.setTxd(false));
    QVERIFY(!calls.brk);
    QCOMPARE(lines.cts(), std::optional<bool>(false));
    calls.modem |= TIOCM_CTS;
    QCOMPARE(lines.cts(), std::optional<bool>(true));

    calls.failWith = EIO;
    QVERIFY(!lines.setDtr(true));
    QVERIFY(!lines.cts());
    QVERIFY2(lines.errorText().startsWith("/dev/ttyS0: "), qPrintable(lines.errorText()));
}

void TestDeviceLinks::parallelPortClaimsAndMapsRegisters()
{
    QCOMPARE(PpdevPort::DeviceFor("LPT1"), QString("/dev/parport0"));
    QCOMPARE(PpdevPort::DeviceFor("LPT3"), QString("/dev/parport2"));
    QCOMPARE(PpdevPort::DeviceFor("lpt3"), QString("/dev/parport2")); // either case
    QCOMPARE(PpdevPort::DeviceFor("/dev/parport7"), QString("/dev/parport7"));
    QCOMPARE(PpdevPort::DeviceFor("LPT"), QString("LPT")); // names no port
    QCOMPARE(PpdevPort::DeviceFor(" LPT2 "), QString("/dev/parport1"));
    {
        qputenv("VEK_DEVICE_DIR", "/tmp/vek-ports");
        const auto restore = qScopeGuard([] { qunsetenv("VEK_DEVICE_DIR"); });
        QCOMPARE(PpdevPort::DeviceFor("LPT2"), QString("/tmp/vek-ports/parport1"));
    }

    FakeCalls calls;
    {
        auto opened = PpdevPort::open("LPT2", calls);
        QVERIFY(opened);
        QCOMPARE(calls.opened, QStringList{"/dev/parport1"});
        QVERIFY(calls.claimed);
        ParallelPortRegisters &port = *opened.device;
        QVERIFY(port.writeData(0xA5) && port.writeControl(0x0B));
        QCOMPARE(calls.data, uint8_t(0xA5));
        QCOMPARE(port.readData(), std::optional<uint8_t>(0xA5));
        QCOMPARE(port.readControl(), std::optional<uint8_t>(0x0B));
        QCOMPARE(port.readStatus(), std::optional<uint8_t>(0x78));
    }
    QVERIFY(!calls.claimed); // released when closed

    calls.failWith = EACCES;
    const auto refused = PpdevPort::open("LPT1", calls);
    QVERIFY(!refused);
    QVERIFY2(refused.error.startsWith("/dev/parport0: "), qPrintable(refused.error));
}

void TestDeviceLinks::boundedWriteGivesUpOnAHeldLine()
{
    using Outcome = SerialLineStatus::WriteOutcome;
    LinkedPty pty;
    const int fd = ::open(qPrintable(pty.device), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    QCOMPARE(SerialLineStatus::WriteWithin(fd, "abc", 200).end, Outcome::Sent);
    char got[3] = {};
    QCOMPARE(::read(pty.master, got, sizeof got), ssize_t(3));
    // The bytes never leave the driver: given up at the deadline, where
    // tcdrain() would wait for ever.
    HeldQueue held;
    QElapsedTimer took;
    took.start();
    QCOMPARE(SerialLineStatus::WriteWithin(fd, "abc", 200, held).end, Outcome::Held);
    QVERIFY2(took.elapsed() >= 150 && took.elapsed() < 2000,
             qPrintable(QString("%1 ms").arg(took.elapsed())));
    // Before a close: a line that lets the bytes go keeps them; a held one has
    // them thrown away at once rather than have the close wait for it.
    QVERIFY(SerialLineStatus::SettleOutput(fd, 200));
    took.restart();
    QVERIFY(!SerialLineStatus::SettleOutput(fd, 0, held));
    QVERIFY(took.elapsed() < 150);
    ::close(fd);
    const Outcome closed = SerialLineStatus::WriteWithin(-1, "abc", 200);
    QCOMPARE(closed.end, Outcome::Failed);
    QCOMPARE(closed.error, EBADF);
}

namespace {

// Who a failed opening says holds the port: "here" (another window of ours),
// the holder by name, "nobody known", or "not in use".
QString heldBy(const DeviceFailure &failure)
{
    if (failure.fault != DeviceFault::InUse)
        return "not in use";
    if (failure.heldHere)
        return failure.holder.isEmpty() ? "here" : "here and " + failure.holder;
    return failure.holder.isEmpty() ? "nobody known" : failure.holder;
}

// Who a raw tty and then a QSerialPort opening of `device` say holds it, when
// both fail and say the same; a lock file at `lockFile` left by either is said.
QString heldByBoth(const QString &device, const QString &lockFile)
{
    const auto left = [&] { return QFile::exists(lockFile) ? " with a lock left" : ""; };
    const QString raw = heldBy(TtyByteLink::open(device, "9600,N,8,1")) + left();
    QSerialPort port;
    const auto failure =
        SerialPortOpening::Open(port, device, "9600,N,8,1", QSerialPort::NoFlowControl);
    const QString live = (failure && !port.isOpen() ? heldBy(*failure) : "opened") + left();
    return raw == live ? raw : "raw: " + raw + ", live: " + live;
}

} // namespace

// Raw ttys and QSerialPort keep off each other's port, and say that another
// window of ours holds it (never naming ourselves as another program).
void TestDeviceLinks::aPortHasOneOwner()
{
    LinkedPty pty;
    const QString lockFile = "/var/lock/" + SerialPortLock::fileName(pty.device);
    QCOMPARE(SerialPortLock::fileName("/dev/ttyS11"), QString("LCK..ttyS11"));
    QCOMPARE(SerialPortLock::fileName("/dev/pts/7"), QString("LCK..pts_7"));
    {
        auto first = TtyByteLink::open(pty.device, "9600,N,8,1");
        QVERIFY2(first, qPrintable(first.error));
        QVERIFY(QFile::exists(lockFile));
        QCOMPARE(heldByBoth(pty.device, lockFile), QString("here with a lock left"));
    }
    QVERIFY(!QFile::exists(lockFile)); // let go with the port

    QSerialPort live;
    QVERIFY(!SerialPortOpening::Open(live, pty.device, "9600,N,8,1", QSerialPort::NoFlowControl));
    const auto raw = TtyByteLink::open(pty.device, "9600,N,8,1");
    QVERIFY(!raw);
    QCOMPARE(heldBy(raw), QString("here"));
    live.close();
    QVERIFY(TtyByteLink::open(pty.device, "9600,N,8,1"));
}

// A lock file in the old form ("%10d\n") of a running program keeps us off
// and names it; one whose program is gone is taken over.
void TestDeviceLinks::aLockOfAnotherProgramNamesIt()
{
    QTemporaryDir folder;
    const QStringList kept = SerialPortLock::folders();
    SerialPortLock::setFolders({folder.path()});
    LinkedPty pty;
    const QString lockFile = folder.filePath(SerialPortLock::fileName(pty.device));
    QProcess other;
    other.start("sleep", {"30"});
    QVERIFY(other.waitForStarted());
    QVERIFY(
        TestSupport::writeFile(lockFile, QString("%1\n").arg(other.processId(), 10).toLatin1()));
    const auto held = TtyByteLink::open(pty.device, "9600,N,8,1");
    QVERIFY(!held);
    QCOMPARE(int(held.fault), int(DeviceFault::InUse));
    QCOMPARE(held.holder, QString("sleep (PID %1)").arg(other.processId()));
    other.kill();
    other.waitForFinished();

    const auto stale = TtyByteLink::open(pty.device, "9600,N,8,1");
    QVERIFY2(stale, qPrintable(stale.error));
    QFile lock(lockFile);
    QVERIFY(lock.open(QIODevice::ReadOnly));
    QCOMPARE(lock.readLine().trimmed().toLongLong(), QCoreApplication::applicationPid());
    SerialPortLock::setFolders(kept);
}

// A lock file naming our own PID (used again after a crash left the file
// behind) is ours only while one of our openings holds the port: else it is
// stale and either opening takes the port over, never saying that another
// window of ours holds it.
void TestDeviceLinks::aLockNamingUsIsStaleUnlessWeHoldThePort()
{
    LinkedPty pty;
    // The folder QSerialPort writes its lock files in, as ours do by default.
    const QString lockFile = "/var/lock/" + SerialPortLock::fileName(pty.device);
    const auto removeLock = qScopeGuard([&lockFile] { QFile::remove(lockFile); });
    // As a run of ours that crashed leaves it: our PID, name and host.
    const auto leaveStaleLock = [&lockFile] {
        return TestSupport::writeFile(lockFile, QByteArray::number(::getpid()) + '\n' +
                                                    QCoreApplication::applicationName().toUtf8() +
                                                    '\n' + QSysInfo::machineHostName().toUtf8() +
                                                    '\n');
    };
    QVERIFY(leaveStaleLock());
    {
        auto raw = TtyByteLink::open(pty.device, "9600,N,8,1");
        QVERIFY2(raw, qPrintable(raw.error));
        QCOMPARE(heldBy(TtyByteLink::open(pty.device, "9600,N,8,1")), QString("here"));
    }
    QVERIFY(!QFile::exists(lockFile));

    QVERIFY(leaveStaleLock());
    QSerialPort live;
    const auto failure =
        SerialPortOpening::Open(live, pty.device, "9600,N,8,1", QSerialPort::NoFlowControl);
    QVERIFY2(!failure, qPrintable(failure ? failure->error : QString()));
    QCOMPARE(heldBy(TtyByteLink::open(pty.device, "9600,N,8,1")), QString("here"));
    live.close();
    QVERIFY(!QFile::exists(lockFile));
    QVERIFY(TtyByteLink::open(pty.device, "9600,N,8,1"));
}

void TestDeviceLinks::withoutALockFolderThePortStillOpens()
{
    const QStringList kept = SerialPortLock::folders();
    SerialPortLock::setFolders({"/proc/vek-no-such-folder"});
    LinkedPty pty;
    const auto opened = TtyByteLink::open(pty.device, "9600,N,8,1");
    SerialPortLock::setFolders(kept);
    QVERIFY2(opened, qPrintable(opened.error));
}

// A device no opening can use, a character device that is no tty or one that
// is not there, is said to be so by both openings (not in the system's words
// for the call that failed) before any lock is taken: another program holding
// its lock file and an flock() of it changes nothing, and its file is left.
void TestDeviceLinks::devicesNoOpeningCanUseTakeNoLock_data()
{
    QTest::addColumn<QString>("device"); // {folder}: a folder of the test's own
    QTest::addColumn<int>("fault");
    TestSupport::row("no tty", QString("/dev/null"), int(DeviceFault::NotATty));
    TestSupport::row("not there", QString("{folder}/ttyGone"), int(DeviceFault::NoSuchPort));
}

void TestDeviceLinks::devicesNoOpeningCanUseTakeNoLock()
{
    QFETCH(QString, device);
    QFETCH(int, fault);
    QTemporaryDir folder;
    device.replace("{folder}", folder.path());
    const QStringList kept = SerialPortLock::folders();
    SerialPortLock::setFolders({folder.path()});
    const auto restore = qScopeGuard([&kept] { SerialPortLock::setFolders(kept); });
    QProcess other;
    other.start("sleep", {"30"});
    QVERIFY(other.waitForStarted());
    const auto end = qScopeGuard([&other] {
        other.kill();
        other.waitForFinished();
    });
    const QString lockFile = folder.filePath(SerialPortLock::fileName(device));
    const QByteArray lock = QByteArray::number(other.processId()) + '\n';
    QVERIFY(TestSupport::writeFile(lockFile, lock));
    const int held = ::open(qPrintable(device), O_RDONLY | O_CLOEXEC);
    const auto release = qScopeGuard([held] {
        if (held >= 0)
            ::close(held);
    });
    QVERIFY(held < 0 || ::flock(held, LOCK_EX | LOCK_NB) == 0);

    const auto raw = TtyByteLink::open(device, "9600,N,8,1");
    QVERIFY(!raw);
    QCOMPARE(int(raw.fault), fault);
    QVERIFY2(raw.error.startsWith(device + ": "), qPrintable(raw.error));
    QSerialPort live;
    const auto failure =
        SerialPortOpening::Open(live, device, "9600,N,8,1", QSerialPort::NoFlowControl);
    QVERIFY(failure);
    QCOMPARE(int(failure->fault), fault);
    QCOMPARE(failure->error, raw.error);
    QVERIFY(!live.isOpen());
    QCOMPARE(TestSupport::readFile(lockFile), lock);
}

// A port held without a lock file, by an flock() of another opening (which
// keeps off root too: TIOCEXCL does not) or by another program's TIOCEXCL and
// flock(), is in use; nobody is named, least of all ourselves through the
// lock we took for the attempt, and that lock is let go.
void TestDeviceLinks::holdersWithoutALockAreNotUs_data()
{
    QTest::addColumn<bool>("otherProgram");
    QTest::newRow("flock of another opening") << false;
    QTest::newRow("TIOCEXCL and flock of another program") << true;
}

void TestDeviceLinks::holdersWithoutALockAreNotUs()
{
    QFETCH(bool, otherProgram);
    LinkedPty pty;
    const QString lockFile = "/var/lock/" + SerialPortLock::fileName(pty.device);
    {
        std::unique_ptr<ForeignPortHolder> program;
        int fd = -1;
        if (otherProgram) {
            program = std::make_unique<ForeignPortHolder>(pty.device);
            QVERIFY(program->holding());
        } else {
            fd = ::open(qPrintable(pty.device), O_RDWR | O_NOCTTY | O_NONBLOCK);
            QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        }
        QCOMPARE(heldByBoth(pty.device, lockFile), QString("nobody known"));
        if (fd >= 0)
            ::close(fd);
    }
    QVERIFY(TtyByteLink::open(pty.device, "9600,N,8,1"));
}

// A link (as socat makes them) opens the device it leads to, under that
// device's lock: opened by either name, the port has one owner.
void TestDeviceLinks::aLinkOpensTheDeviceItLeadsTo()
{
    LinkedPty pty;
    QVERIFY(!pty.link.isEmpty());
    const QString lockFile = "/var/lock/" + SerialPortLock::fileName(pty.device);
    {
        auto raw = TtyByteLink::open(pty.link, "9600,N,8,1");
        QVERIFY2(raw, qPrintable(raw.error));
        QCOMPARE(raw.device->tty().device(), pty.device);
        // Said as such, not by our name.
        QCOMPARE(heldByBoth(pty.device, lockFile), QString("here with a lock left"));
    }
    QSerialPort live;
    QVERIFY(!SerialPortOpening::Open(live, pty.link, "9600,N,8,1", QSerialPort::NoFlowControl));
    QCOMPARE(live.portName(), pty.device.mid(5));
    QCOMPARE(heldBy(TtyByteLink::open(pty.device, "9600,N,8,1")), QString("here"));
    live.close();

    // A device outside /dev ("COM2" of a folder of devices) is locked under
    // its whole path, the name QSerialPort gives its own lock file: the
    // openings see each other's locks, and one "ttyS1" in another folder
    // (another run's) is another port.
    NumberedPorts ports;
    QVERIFY(ports.link("ttyS1", pty.device));
    const QString device = ports.folder.filePath("ttyS1");
    QCOMPARE(SerialPortLock::fileName(device), "LCK.." + QString(device).replace('/', '_'));
    QVERIFY(!SerialPortOpening::Open(live, "COM2", "9600,N,8,1", QSerialPort::NoFlowControl));
    QVERIFY(QFile::exists("/var/lock/" + SerialPortLock::fileName(device)));
    QCOMPARE(heldBy(TtyByteLink::open("COM2", "9600,N,8,1")), QString("here"));
}

// The device of a port stays open until the port's lock file is gone: once
// the far end of a pseudo-terminal has gone (as an adapter unplugged), only
// our descriptors keep its number, and a new device of that number must never
// meet a lock file naming us.
void TestDeviceLinks::theDeviceOutlivesItsLockFile()
{
    auto pty = std::make_unique<LinkedPty>();
    const QString device = pty->device;
    struct stat st = {};
    QCOMPARE(::stat(qPrintable(device), &st), 0);
    const dev_t number = st.st_rdev;
    const auto heldHere = [number] { // a descriptor of ours on the device
        for (const QFileInfo &fd : QDir("/proc/self/fd").entryInfoList(QDir::System)) {
            struct stat open = {};
            if (::stat(qPrintable(fd.absoluteFilePath()), &open) == 0 && S_ISCHR(open.st_mode) &&
                open.st_rdev == number)
                return true;
        }
        return false;
    };
    const QString lockFile = "/var/lock/" + SerialPortLock::fileName(device);
    QSerialPort live;
    bool lockAtClose = true, heldAtClose = false;
    // Connected before the opening's own: what the port has let go of when it closes.
    connect(&live, &QIODevice::aboutToClose, this, [&] {
        lockAtClose = QFile::exists(lockFile);
        heldAtClose = heldHere();
    });
    QVERIFY(!SerialPortOpening::Open(live, device, "9600,N,8,1", QSerialPort::NoFlowControl));
    QVERIFY(QFile::exists(lockFile));
    pty.reset(); // the far end goes
    live.close();
    QVERIFY(!lockAtClose);
    QVERIFY(heldAtClose);
    QVERIFY(!heldHere()); // and then let go
}

QTEST_GUILESS_MAIN(TestDeviceLinks)
#include "tst_devicelinks.moc"
