#include "platform/SerialPortNames.h"
#include "platform/SerialSettings.h"

#include <QtTest>

class TestSerialSettings : public QObject
{
    Q_OBJECT

private slots:
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

    // One rule for every window: "COMn" is /dev/ttyS(n-1), a device path is
    // itself, anything else names no serial port.
    void portSettingNamesOneDevice_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << "COM1"
                              << "/dev/ttyS0";
        QTest::newRow("COM3") << "COM3"
                              << "/dev/ttyS2";
        QTest::newRow("COM10") << "COM10"
                               << "/dev/ttyS9";
        QTest::newRow("COM12") << "COM12"
                               << "/dev/ttyS11";
        QTest::newRow("COM21") << "COM21"
                               << "/dev/ttyS20";
        QTest::newRow("usb adapter") << "/dev/ttyUSB0"
                                     << "/dev/ttyUSB0";
        QTest::newRow("pseudo-terminal") << "/dev/pts/12"
                                         << "/dev/pts/12";
        QTest::newRow("COM0") << "COM0"
                              << "";
        QTest::newRow("COM alone") << "COM"
                                   << "";
        QTest::newRow("COM with a space") << "COM 3"
                                          << "";
        QTest::newRow("lower case") << "com3"
                                    << "";
        QTest::newRow("parallel") << "LPT1"
                                  << "";
        QTest::newRow("path outside /dev") << "/tmp/x"
                                           << "";
        QTest::newRow("/dev/ alone") << "/dev/"
                                     << "";
    }

    void portSettingNamesOneDevice()
    {
        QFETCH(QString, setting);
        QFETCH(QString, device);
        QCOMPARE(SerialPortNames::SerialDeviceOf(setting), device);
    }

    void portNames()
    {
        QCOMPARE(SerialPortNames::DeviceToOpen(3, QString()), QString("/dev/ttyS2"));
        QCOMPARE(SerialPortNames::DeviceToOpen(0, "/dev/pts/4"), QString("/dev/pts/4"));
        QCOMPARE(SerialPortNames::PortCaption(2, "/dev/ttyS1"), QString("COM2"));
        QCOMPARE(SerialPortNames::PortCaption(0, "/dev/ttyUSB0"), QString("/dev/ttyUSB0"));
    }
};

QTEST_GUILESS_MAIN(TestSerialSettings)
#include "tst_serialsettings.moc"
