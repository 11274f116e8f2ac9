#include "TestSupport.h"
#include "platform/PortAccessService.h"
#include "platform/SystemCalls.h"

#include <QtTest>

#include <cerrno>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

using TestSupport::row;

namespace {

// open/ioctl of a parallel port that may refuse to open or to be claimed.
class FakePortCalls final : public SystemCalls
{
public:
    int openErrno = 0;
    int claimErrno = 0;
    QStringList opened;
    QList<unsigned long> requests;
    int closes = 0;

    int open(const char *path, int) override
    {
        opened << QString::fromLocal8Bit(path);
        return openErrno ? (errno = openErrno, -1) : 7;
    }
    int close(int) override { return ++closes, 0; }
    int ioctl(int, unsigned long request, void *) override
    {
        requests << request;
        if (request == PPCLAIM && claimErrno)
            return errno = claimErrno, -1;
        return 0;
    }
};

// A fake system tree: /proc/modules lines, /sys/module folders, /dev nodes.
struct Tree {
    QTemporaryDir dir;
    explicit Tree(const QByteArray &procModules, const QStringList &sysModules,
                  const QStringList &devices)
    {
        TestSupport::writeFile(dir.path() + "/proc/modules", procModules);
        for (const QString &m : sysModules)
            QDir().mkpath(dir.path() + "/sys/module/" + m);
        for (const QString &d : devices)
            TestSupport::writeFile(dir.path() + "/dev/" + d, {});
    }
};

const QByteArray kBothLoaded = "ppdev 24576 0 - Live 0x0\n"
                               "parport_pc 49152 0 - Live 0x0\n"
                               "parport 69632 2 ppdev,parport_pc, Live 0x0\n";

} // namespace

class TestPortAccess : public QObject
{
    Q_OBJECT

private slots:
    void statusAnswers_data()
    {
        QTest::addColumn<QByteArray>("proc");
        QTest::addColumn<QStringList>("sys");
        QTest::addColumn<QStringList>("dev");
        QTest::addColumn<int>("openErrno");
        QTest::addColumn<int>("claimErrno");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<bool>("noDevice");
        QTest::addColumn<bool>("permission");
        QTest::addColumn<QString>("reason");

        const QStringList port{"parport0"};
        row("usable", kBothLoaded, QStringList(), port, 0, 0, "Running", QStringList(), false,
            false, "");
        row("built into the kernel", QByteArray(), QStringList{"parport"}, port, 0, 0, "Running",
            QStringList(), false, false, "");
        row("claimed by another program", kBothLoaded, QStringList(), port, 0, EBUSY, "Stopped",
            QStringList(), false, false, "/dev/parport0: " + QString(strerror(EBUSY)));
        row("no such hardware", kBothLoaded, QStringList(), port, ENXIO, 0, "Stopped",
            QStringList(), false, false, "/dev/parport0: " + QString(strerror(ENXIO)));
        row("not in the lp group", kBothLoaded, QStringList(), port, EACCES, 0, "", QStringList(),
            false, true, "/dev/parport0: " + QString(strerror(EACCES)));
        row("modules loaded, no device", kBothLoaded, QStringList(), QStringList(), 0, 0, "",
            QStringList(), true, false, "");
        row("nothing loaded", QByteArray("snd 1 0 - Live 0x0\nparport_pc 1 0 - Live 0x0\n"),
            QStringList(), QStringList(), 0, 0, "", QStringList{"parport", "ppdev"}, true, false,
            "");
        row("stale node without ppdev", QByteArray("parport 1 0 - Live 0x0\n"), QStringList(), port,
            ENODEV, 0, "", QStringList{"ppdev"}, false, false,
            "/dev/parport0: " + QString(strerror(ENODEV)));
    }

    void statusAnswers()
    {
        QFETCH(QByteArray, proc);
        QFETCH(QStringList, sys);
        QFETCH(QStringList, dev);
        QFETCH(int, openErrno);
        QFETCH(int, claimErrno);
        Tree tree(proc, sys, dev);
        FakePortCalls calls;
        calls.openErrno = openErrno;
        calls.claimErrno = claimErrno;
        const PortAccessStatus status = PortAccessService(tree.dir.path(), calls).status();

        QTEST(status.stateName(), "name");
        QTEST(status.missingModules, "missing");
        QTEST(status.deviceMissing, "noDevice");
        QTEST(status.permissionDenied, "permission");
        QTEST(status.systemError, "reason");
        QCOMPARE(status.device, QString("/dev/parport0"));
        if (!dev.isEmpty()) {
            // The device is looked for under the given root, and always let go.
            QCOMPARE(calls.opened, QStringList{tree.dir.path() + "/dev/parport0"});
            QCOMPARE(calls.closes, openErrno ? 0 : 1);
            if (status.state == PortAccessStatus::State::Running)
                QCOMPARE(calls.requests, (QList<unsigned long>{PPCLAIM, PPRELEASE}));
        } else {
            QVERIFY(calls.opened.isEmpty());
        }
    }

    void permissionNamesTheDeviceGroup()
    {
        Tree tree(kBothLoaded, {}, {"parport0"});
        FakePortCalls calls;
        calls.openErrno = EACCES;
        const PortAccessStatus status = PortAccessService(tree.dir.path(), calls).status();
        QCOMPARE(status.deviceGroup, QFileInfo(tree.dir.path() + "/dev/parport0").group());
        QCOMPARE(status.state, PortAccessStatus::State::Missing);
    }

    void listsParallelDevices()
    {
        Tree tree({}, {}, {"parport1", "parport0", "ttyS0"});
        FakePortCalls calls;
        QCOMPARE(PortAccessService(tree.dir.path(), calls).parallelDevices(),
                 (QStringList{"/dev/parport0", "/dev/parport1"}));
    }
};

QTEST_GUILESS_MAIN(TestPortAccess)
#include "tst_portaccess.moc"
