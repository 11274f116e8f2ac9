#include "PortHolders.h"
#include "TestSupport.h"
#include "base/MainSettingsLoader.h"
#include "base/SerialOptions.h"

#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using SerialOptions::SelectionOf;

class TestSerialOptions : public QObject
{
    Q_OBJECT

private slots:
    void optionsText()
    {
        QCOMPARE(SerialOptions::TextOf(115200, 'E', 7, 2), QStringLiteral("115200,E,7,2"));
        QCOMPARE(SerialOptions::FlowControlOf(0), QSerialPort::NoFlowControl);
        QCOMPARE(SerialOptions::FlowControlOf(1), QSerialPort::SoftwareControl);
        QCOMPARE(SerialOptions::FlowControlOf(2), QSerialPort::HardwareControl);
        QCOMPARE(SerialOptions::FlowControlOf(3), QSerialPort::HardwareControl);
        QCOMPARE(SerialOptions::FlowControlOf(9), QSerialPort::NoFlowControl);
    }

    void dialogSelection()
    {
        auto s = SelectionOf("9600,N,8,1");
        QCOMPARE(s.baudIndex, 96);
        QCOMPARE(s.parity, QChar('N'));
        QCOMPARE(s.dataBits, 8);
        QCOMPARE(s.stopBits, 1);
        s = SelectionOf("115200,e,7,2");
        QCOMPARE(s.baudIndex, 1152);
        QCOMPARE(s.parity, QChar('E'));
        QCOMPARE(s.dataBits, 7);
        QCOMPARE(s.stopBits, 2);
        // Hand-edited values without an option select nothing.
        s = SelectionOf("14400,M,5,3");
        QCOMPARE(s.baudIndex, 0);
        QVERIFY(s.parity.isNull());
        QCOMPARE(s.dataBits, 0);
        QCOMPARE(s.stopBits, 0);
        s = SelectionOf("9600");
        QCOMPARE(s.baudIndex, 0);
        s = SelectionOf("9600,N");
        QCOMPARE(s.parity, QChar('N'));
        QCOMPARE(s.dataBits, 0);
    }

    void portChoice()
    {
        QCOMPARE(SerialOptions::DeviceOf("1"), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(SerialOptions::DeviceOf("4"), QStringLiteral("/dev/ttyS3"));
        QCOMPARE(SerialOptions::DeviceOf("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(SerialOptions::PortNumberOf("3"), 3);
        QCOMPARE(SerialOptions::PortNumberOf("/dev/pts/4"), 0);
        QCOMPARE(SerialOptions::PortNumberOf("7"), 7);
    }

    void handshakingIsStoredBesideThePortSettings()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("VEK_Courbe.ini"));
        for (const auto &[stored, expected] : {std::pair{"2", 2}, {"3", 3}, {"9", 0}, {"x", 0}}) {
            {
                QSettings store(path, QSettings::IniFormat);
                store.setValue(QStringLiteral("Config/Handshaking"), QString::fromLatin1(stored));
            }
            QSettings store(path, QSettings::IniFormat);
            MainSettings settings;
            MainSettingsLoader(store).Load(settings);
            QCOMPARE(int(settings.Handshaking), expected);
        }
    }

    void applyToAnOpenPort()
    {
        LinkedPty pty;
        QSerialPort port(pty.device);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        QString error;
        QVERIFY2(SerialOptions::Apply(port, "19200,O,8,2", 1, &error), qPrintable(error));
        QCOMPARE(port.baudRate(), 19200);
        QCOMPARE(port.parity(), QSerialPort::OddParity);
        QCOMPARE(port.stopBits(), QSerialPort::TwoStop);
        QCOMPARE(port.flowControl(), QSerialPort::SoftwareControl);
        QVERIFY(SerialOptions::Apply(port, "9600,N,8,1", 3, &error));
        QCOMPARE(port.flowControl(), QSerialPort::HardwareControl);
        // A pseudo-terminal has no 7-bit mode: the refusal is reported.
        error.clear();
        QVERIFY(!SerialOptions::Apply(port, "9600,N,7,1", 0, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSerialOptions)
#include "tst_serialoptions.moc"
