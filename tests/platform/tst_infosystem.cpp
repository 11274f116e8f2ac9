#include "platform/VEK_Info_System.h"

#include <QtTest>

using namespace VEK_Info_System;

class TestInfoSystem : public QObject
{
    Q_OBJECT

private slots:
    void ramRoundsTwiceHalfToEven_data()
    {
        QTest::addColumn<quint64>("bytes");
        QTest::addColumn<quint64>("megabytes");
        const quint64 k = 1024, m = k * k;
        QTest::newRow("512 MiB") << 512 * m << quint64(512);
        QTest::newRow("1.5 MiB up to 2") << (m + 512 * k) << quint64(2);
        QTest::newRow("2.5 MiB down to 2") << (2 * m + 512 * k) << quint64(2);
        // 2.5 MiB less 512 bytes: the first rounding (to 2559.5 -> 2560 KiB) makes a tie.
        QTest::newRow("kibibyte tie") << (2 * m + 512 * k - 512) << quint64(2);
        QTest::newRow("just above the tie") << (2 * m + 513 * k) << quint64(3);
        QTest::newRow("6 GiB") << 6 * k * m << quint64(6144);
        QTest::newRow("64 GiB") << 64 * k * m << quint64(65536);
        QTest::newRow("nothing") << quint64(0) << quint64(0);
    }

    void ramRoundsTwiceHalfToEven()
    {
        QFETCH(quint64, bytes);
        QFETCH(quint64, megabytes);
        QCOMPARE(quint64(RamMegabytes(bytes)), megabytes);
    }

    void cpuNameFromCpuInfo()
    {
        QCOMPARE(CpuNameFromCpuInfo("processor\t: 0\nvendor_id\t: GenuineIntel\n"
                                    "model name\t: Intel(R) Core(TM)  i5-8250U CPU @ 1.60GHz\n"
                                    "processor\t: 1\nmodel name\t: other\n"),
                 QString("Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz"));
        // An ARM board names its hardware rather than a model.
        QCOMPARE(CpuNameFromCpuInfo("processor\t: 0\nBogoMIPS\t: 108.00\n\n"
                                    "Hardware\t: BCM2835\n"),
                 QString("BCM2835"));
        QCOMPARE(CpuNameFromCpuInfo("processor\t: 0\nmodel name\t:\n"), QString());
        QCOMPARE(CpuNameFromCpuInfo(""), QString());
        QVERIFY(!GetCpuName().isEmpty());
    }

    void memoryOfThisMachine()
    {
        const MemoryStatus status = ReadMemoryStatus();
        QVERIFY(status.totalPhys > 0);
        QVERIFY(status.availPhys <= status.totalPhys);
        QVERIFY(status.memoryLoad <= 100);
    }
};

QTEST_GUILESS_MAIN(TestInfoSystem)
#include "tst_infosystem.moc"
