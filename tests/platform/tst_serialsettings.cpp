#include "PortHolders.h"
#include "TestSupport.h"
#include "platform/AskedSerialDevice.h"
#include "platform/SerialPortNames.h"
#include "platform/SerialSettings.h"
#include "platform/SystemCalls.h"

#include <QtTest>

#include <cerrno>

using TestSupport::row;

class TestSerialSettings : public QObject
{
    Q_OBJECT

    LinkedPty m_pty;
    QTemporaryDir m_dir;

    // "{pty}", "{link}" (a link to it), "{file}" (a plain file) and
    // "{dangling}" (a link to nothing) in `text` replaced by their paths.
    QString places(QString text) const
    {
        return text.replace("{pty}", m_pty.device)
            .replace("{link}", m_pty.link)
            .replace("{file}", m_dir.filePath("plain"))
            .replace("{dangling}", m_dir.filePath("dangling"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!m_pty.link.isEmpty());
        QVERIFY(TestSupport::writeFile(m_dir.filePath("plain"), "not a port"));
        QVERIFY(QFile::link(m_dir.filePath("nothing"), m_dir.filePath("dangling")));
    }

    void settingsText()
    {
        const auto s = SerialSettings::parse("115200,e,7,2");
        QVERIFY(s);
        QCOMPARE(s->baudRate, 115200);
        QCOMPARE(s->parity, QSerialPort::EvenParity);
        QCOMPARE(s->dataBits, QSerialPort::Data7);
        QCOMPARE(s->stopBits, QSerialPort::TwoStop);
        QCOMPARE(s->toText(), QString("115200,E,7,2"));
        QCOMPARE(SerialSettings::parse("9600,N,8,1")->toText(), QString("9600,N,8,1"));
        QCOMPARE(SerialSettings::parse("57600,n,8,1.5")->stopBits, QSerialPort::OneAndHalfStop);
        for (const char *bad : {"", "9600", "9600,N,8", "x,N,8,1", "0,N,8,1", "9600,Q,8,1",
                                "9600,N,9,1", "9600,N,8,3", "9600,N,8,1,1"})
            QVERIFY2(!SerialSettings::parse(bad), bad);
    }

    // One rule for every window: "COMn" is /dev/ttyS(n-1), a path the device
    // it leads to (a path that leads nowhere is tried as it stands, so that its
    // opening says it does not exist), anything else names no serial port.
    void portSettingNamesOneDevice_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("device");
        row("COM1", "COM1", "/dev/ttyS0");
        row("COM3", "COM3", "/dev/ttyS2");
        row("COM10", "COM10", "/dev/ttyS9");
        row("COM12", "COM12", "/dev/ttyS11");
        row("COM21", "COM21", "/dev/ttyS20");
        row("usb adapter", "/dev/ttyUSB0", "/dev/ttyUSB0");
        row("pseudo-terminal", "/dev/pts/12", "/dev/pts/12");
        row("COM0", "COM0", "");
        row("COM alone", "COM", "");
        row("COM with a space", "COM 3", "");
        row("lower case", "com3", "/dev/ttyS2");
        row("as the dialog captions it", "Com2", "/dev/ttyS1");
        row("parallel", "LPT1", "");
        row("path outside /dev, leading nowhere", "/tmp/vek-no-such-port", "/tmp/vek-no-such-port");
        row("/dev/ alone", "/dev/", "");
        row("link to a pseudo-terminal", "{link}", "{pty}");
        row("plain file", "{file}", "");
    }

    void portSettingNamesOneDevice()
    {
        QFETCH(QString, setting);
        QFETCH(QString, device);
        QCOMPARE(SerialPortNames::SerialDeviceOf(places(setting)), places(device));
    }

    // What names a port, for the set-up dialogs' OK and for the settings
    // loader: "COMn", "LPTn", or an absolute path to a character device, links
    // followed (OK also asks a serial one whether it is a tty); a serial
    // opening of a parallel port says that it needs a serial one.
    void portNamesByOneRule_data()
    {
        using K = SerialPortNames::PortKind;
        QTest::addColumn<QString>("name");
        QTest::addColumn<K>("kind");
        QTest::addColumn<bool>("chosen"); // taken at OK
        QTest::addColumn<DeviceFault>("notSerial");
        const DeviceFault serial = DeviceFault::Other; // gives a serial device
        QTest::newRow("COM7") << "COM7" << K::Serial << true << serial;
        QTest::newRow("LPT1") << "LPT1" << K::Parallel << true << DeviceFault::NotSerial;
        // A name and the path it stands for get one answer: neither is there.
        QTest::newRow("COM2 not there") << "COM2" << K::Serial << false << serial;
        QTest::newRow("its path") << "{ports}/ttyS1" << K::Serial << false << serial;
        QTest::newRow("LPT2 not there") << "LPT2" << K::Parallel << false << DeviceFault::NotSerial;
        QTest::newRow("LPT0") << "LPT0" << K::None << false << DeviceFault::NotAPort;
        QTest::newRow("lower case lpt1") << "lpt1" << K::Parallel << true << DeviceFault::NotSerial;
        QTest::newRow("Com7") << "Com7" << K::Serial << true << serial;
        QTest::newRow("lower case com2 not there") << "com2" << K::Serial << false << serial;
        QTest::newRow("pseudo-terminal") << "{pty}" << K::Serial << true << serial;
        QTest::newRow("link to it") << "{link}" << K::Serial << true << serial;
        // Asked, the device says it is no tty: a name for a serial port, not chosen.
        QTest::newRow("not a tty") << "/dev/null" << K::Serial << false << serial;
        QTest::newRow("plain file") << "{file}" << K::None << false << DeviceFault::NotAPort;
        QTest::newRow("folder") << "/dev/" << K::None << false << DeviceFault::NotAPort;
        QTest::newRow("relative name") << "ttyS0" << K::None << false << DeviceFault::NotAPort;
        QTest::newRow("empty") << "" << K::None << false << DeviceFault::NotAPort;
        QTest::newRow("link leading nowhere") << "{dangling}" << K::Serial << false << serial;
        QTest::newRow("parallel device not there")
            << "/dev/parport-vek9" << K::Parallel << false << DeviceFault::NotSerial;
    }

    void portNamesByOneRule()
    {
        QFETCH(QString, name);
        QFETCH(SerialPortNames::PortKind, kind);
        QFETCH(bool, chosen);
        QFETCH(DeviceFault, notSerial);
        NumberedPorts ports; // COM7 and LPT1 there, COM2 and LPT2 not
        QVERIFY(ports.link("ttyS6", m_pty.device));
        QVERIFY(ports.link("parport0", "/dev/null"));
        name = places(name).replace("{ports}", ports.folder.path());
        QCOMPARE(SerialPortNames::PortNamed(name).kind, kind);
        QCOMPARE(SerialPortNames::NamesAPort(name), chosen);
        DeviceFailure why;
        const QString device = SerialPortNames::SerialDeviceOf(name, &why);
        QCOMPARE(device.isEmpty(), notSerial != DeviceFault::Other);
        QCOMPARE(why.fault, notSerial);
    }

    void portNames()
    {
        QCOMPARE(SerialPortNames::DeviceToOpen(3, QString()), QString("/dev/ttyS2"));
        QCOMPARE(SerialPortNames::DeviceToOpen(0, "/dev/pts/4"), QString("/dev/pts/4"));
        QCOMPARE(SerialPortNames::DeviceToOpen(0, "COM5"), QString("COM5")); // opened by the rule
        QCOMPARE(SerialPortNames::PortCaption(2, "/dev/ttyS1"), QString("COM2"));
        QCOMPARE(SerialPortNames::PortCaption(0, "/dev/ttyUSB0"), QString("/dev/ttyUSB0"));
        // Kept and shown in one form, whatever case it was typed in.
        const std::pair<const char *, const char *> forms[] = {
            {" com2 ", "COM2"},        {"Com12", "COM12"},
            {"lPt1", "LPT1"},          {"/dev/pts/4 ", "/dev/pts/4"},
            {"COM 3", "COM 3"},        {"comma", "comma"},
            {"/dev/Com2", "/dev/Com2"}};
        for (const auto &[typed, kept] : forms)
            QCOMPARE(SerialPortNames::CanonicalName(typed), QString(kept));
    }

    // Whether a device is a serial port is asked of the device: only a tty
    // call that answers "not a tty" says no. A device that cannot be opened
    // (no right to it, held) is no answer: its opening says why; one that is
    // not there is refused by the openings before any lock, as one that is no
    // tty. The tests run as root, whom no device refuses, so the device is
    // stood in for.
    void onlyTheDeviceSaysItIsNoSerialPort_data()
    {
        QTest::addColumn<int>("openError");
        QTest::addColumn<int>("ttyError");
        QTest::addColumn<bool>("serial");
        QTest::addColumn<DeviceFault>("refused"); // by the openings; Other: not
        const DeviceFault none = DeviceFault::Other;
        QTest::newRow("no right to it") << EACCES << 0 << true << none;
        QTest::newRow("not permitted") << EPERM << 0 << true << none;
        QTest::newRow("held") << EBUSY << 0 << true << none;
        QTest::newRow("gone") << ENOENT << 0 << true << DeviceFault::NoSuchPort;
        QTest::newRow("unplugged") << ENXIO << 0 << true << DeviceFault::NoSuchPort;
        QTest::newRow("a tty") << 0 << 0 << true << none;
        QTest::newRow("tty call fails otherwise") << 0 << EIO << true << none;
        QTest::newRow("no tty") << 0 << ENOTTY << false << DeviceFault::NotATty;
    }

    void onlyTheDeviceSaysItIsNoSerialPort()
    {
        QFETCH(int, openError);
        QFETCH(int, ttyError);
        QFETCH(bool, serial);
        QFETCH(DeviceFault, refused);
        struct Device final : SystemCalls {
            int openError = 0, ttyError = 0, opened = 0, closed = 0;
            int open(const char *, int) override
            {
                if (openError)
                    return errno = openError, -1;
                return ++opened, 7;
            }
            int close(int) override { return ++closed, 0; }
            int ioctl(int, unsigned long, void *) override
            {
                return ttyError ? (errno = ttyError, -1) : 0;
            }
        } device;
        device.openError = openError;
        device.ttyError = ttyError;
        QCOMPARE(SerialPortNames::IsSerialPort("/dev/ttyUSB0", device), serial);
        QCOMPARE(device.closed, device.opened);
        {
            const AskedSerialDevice asked("/dev/ttyUSB0", device);
            QCOMPARE(asked.refusal() ? asked.refusal()->fault : DeviceFault::Other, refused);
            QCOMPARE(asked.refusal() && asked.refusal()->error.startsWith("/dev/ttyUSB0: "),
                     refused != DeviceFault::Other);
            QCOMPARE(device.opened - device.closed, openError ? 0 : 1); // kept while asked
        }
        QCOMPARE(device.closed, device.opened);
    }
};

QTEST_GUILESS_MAIN(TestSerialSettings)
#include "tst_serialsettings.moc"
