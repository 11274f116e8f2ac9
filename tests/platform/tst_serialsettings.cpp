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
