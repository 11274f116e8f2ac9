// The programmer's lines, frames, opening and self-test, on the simulated box.
#include "IcspRig.h"
#include "PortHolders.h"
#include "TestSupport.h"
#include "icsp/IcspLines.h"
#include "platform/ModemLines.h"
#include "platform/ParallelPort.h"
#include "platform/SystemCalls.h"

#include <QtTest>

#include <cerrno>

using TestSupport::row;

namespace {

// Registers that record every access.
class RecordingPort final : public ParallelPortRegisters
{
public:
    uint8_t data = 0xA5, control = 0x5A, status = 0;
    int reads = 0, writes = 0;
    bool writeData(uint8_t v) override { return ++writes, data = v, true; }
    std::optional<uint8_t> readData() override { return ++reads, data; }
    bool writeControl(uint8_t v) override { return ++writes, control = v, true; }
    std::optional<uint8_t> readControl() override { return ++reads, control; }
    std::optional<uint8_t> readStatus() override { return ++reads, status; }
    QString errorText() const override { return {}; }
};

class RecordingModem final : public ModemLines
{
public:
    bool txd = false, rts = false, dtr = false, ctsLevel = false;
    bool setTxd(bool on) override { return txd = on, true; }
    bool setRts(bool on) override { return rts = on, true; }
    bool setDtr(bool on) override { return dtr = on, true; }
    std::optional<bool> cts() override { return ctsLevel; }
    QString errorText() const override { return {}; }
};

// System calls that note each device opened and refuse it, as a computer
// without that port does.
class RefusedOpens final : public SystemCalls
{
public:
    QStringList opened;
    int open(const char *path, int) override
    {
        opened << QString::fromLocal8Bit(path);
        return errno = ENOENT, -1;
    }
    int close(int) override { return 0; }
    int ioctl(int, unsigned long, void *) override { return errno = ENOTTY, -1; }
};

} // namespace

class TestIcspLines : public QObject
{
    Q_OBJECT

private slots:
    void pinWritesTouchOneBit_data()
    {
        QTest::addColumn<int>("pin");
        QTest::addColumn<bool>("control");
        QTest::addColumn<int>("mask");
        QTest::newRow("4") << 4 << false << 0x04;
        QTest::newRow("8") << 8 << false << 0x40;
        QTest::newRow("16") << 16 << true << 0x04;
        QTest::newRow("1") << 1 << true << 0x01;
        QTest::newRow("17") << 17 << true << 0x08;
    }
    void pinWritesTouchOneBit()
    {
        QFETCH(int, pin);
        QFETCH(bool, control);
        QFETCH(int, mask);
        RecordingPort port;
        IcspLineDriver lines(IcspRig::wiring(1, "LPT1"), nullptr, &port);
        const uint8_t before = control ? port.control : port.data;
        lines.EcrireBrocheLPT(uint8_t(pin), 0);
        QCOMPARE(control ? port.control : port.data, uint8_t(before & ~mask));
        QCOMPARE(port.reads, 1);
        QCOMPARE(port.writes, 1);
        lines.EcrireBrocheLPT(uint8_t(pin), 1);
        QCOMPARE(control ? port.control : port.data, uint8_t(before | mask));
        lines.EcrireBrocheLPT(15, 1); // an input pin: nothing read or written
        QCOMPARE(port.writes, 2);
    }

    void defaultPinsAndInversion()
    {
        RecordingPort port;
        port.data = 0;
        IcspLineDriver vekp(IcspRig::wiring(1, "LPT1"), nullptr, &port);
        vekp.EcrireLigneICSP(LineMCLR, 1);
        vekp.EcrireLigneICSP(LineCLOCK, 1);
        vekp.EcrireLigneICSP(LineDATA, 1);
        QCOMPARE(port.data, uint8_t(0x0B));
        port.status = 0x40;
        QCOMPARE(vekp.LireLigneICSP(LineDATA_R), 1);
        IcspLineDriver mz(IcspRig::wiring(2, "LPT1"), nullptr, &port);
        QCOMPARE(mz.LireLigneICSP(LineDATA_R), 0);
        port.status = 0;
        QCOMPARE(mz.LireLigneICSP(LineDATA_R), 1);
        QCOMPARE(mz.LireLigneICSP(LineCLOCK), 0); // only line 5 reads
    }

    void serialRouting()
    {
        RecordingModem modem;
        IcspLineDriver jdm(IcspRig::wiring(0, "LPT1"), &modem,
                           nullptr); // JDM: serial whatever the text
        jdm.EcrireLigneICSP(LineMCLR, 1);
        jdm.EcrireLigneICSP(LineDATA, 1);
        QVERIFY(modem.txd && modem.dtr && !modem.rts);
        modem.ctsLevel = true;
        QCOMPARE(jdm.LireLigneICSP(LineDATA_R), 1);
        IcspLineDriver qpak(IcspRig::wiring(3, "COM2"), &modem, nullptr);
        QCOMPARE(qpak.LireLigneICSP(LineDATA_R), 0);
        RecordingModem lowerCase; // the letters in either case, as the set-ups take them
        IcspLineDriver lower(IcspRig::wiring(1, "com1"), &lowerCase, nullptr);
        lower.EcrireLigneICSP(LineMCLR, 1);
        QVERIFY(lowerCase.txd);
        QCOMPARE(IcspRig::wiring(1, "/dev/ttyUSB0").portKind(), IcspLineSettings::PortKind::Serial);
        QCOMPARE(IcspRig::wiring(2, "/dev/parport1").portKind(),
                 IcspLineSettings::PortKind::Parallel);
    }

    void framesEchoOnTheLoopback()
    {
        IcspRig rig("16F84A");
        rig.pic.setPresent(false);
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.OuvrirProgrammateur(), uint8_t(0));
        QCOMPARE(p.PipeBites(6, 6), 6u);
        QCOMPARE(p.EnvoyerCommandeDonnee(2, 0x3FFF), uint8_t(0));
        rig.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckLow);
        QCOMPARE(p.PipeBites(6, 6), 0u);
        QCOMPARE(p.EnvoyerCommandeDonnee(0, 0), uint8_t(0)); // all zeros echo on a dead line
        QCOMPARE(p.EnvoyerCommandeDonnee(2, 1), uint8_t(99));
        rig.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckHigh);
        QCOMPARE(p.PipeBites(6, 6), 63u);
        uint16_t value = 0x1234;
        QCOMPARE(p.LireMot(4, value), uint8_t(11));
        QCOMPARE(value, uint16_t(0x1234)); // untouched on failure
    }

    void readFrameFromTheChip()
    {
        IcspRig rig("16F84A");
        rig.pic.program[0] = 0x2A5F;
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.JumpTo(0), uint8_t(0));
        uint16_t value = 0;
        QCOMPARE(p.LireMot(IcspProgrammer::ReadDataProgram, value), uint8_t(0));
        QCOMPARE(value, uint16_t(0x2A5F));
    }

    void selfTestPatterns_data()
    {
        QTest::addColumn<int>("loopback");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("diagnosis");
        using L = SimulatedProgrammerBox::Loopback;
        QTest::newRow("working") << int(L::Normal) << 0x3210 << "";
        QTest::newRow("stuck low") << int(L::StuckLow) << 0x1010 << "DATA est bloquée à 0 !";
        QTest::newRow("stuck high") << int(L::StuckHigh) << 0x3232 << "DATA est bloquée à 1 !";
        QTest::newRow("inverted") << int(L::Inverted) << 0x1032 << "DATA est inversée !";
        QTest::newRow("follows clock") << int(L::FollowsClock) << 0x3030 << "";
    }
    void selfTestPatterns()
    {
        QFETCH(int, loopback);
        QFETCH(int, code);
        QFETCH(QString, diagnosis);
        for (int box = 0; box < 4; ++box) {
            IcspRig rig("16F84A", IcspRig::wiring(box, "COM1"));
            rig.box->setLoopback(SimulatedProgrammerBox::Loopback(loopback));
            QCOMPARE(rig.programmer->OuvrirProgrammateur(), uint8_t(code == 0x3210 ? 0 : 1));
            const qint64 start = rig.clock.nowUs();
            const IcspSelfTest test = rig.programmer->AutoDiag(); // the port stays open
            QCOMPARE(test.code, code);
            QCOMPARE(test.failed, code != 0x3210);
            if (code != 0x3210) {
                QVERIFY(test.messages.value(0).startsWith("Mauvaise réponse à AUTO-DIAG"));
                QCOMPARE(test.messages.value(1), diagnosis);
            } else {
                QVERIFY(test.messages.isEmpty());
                QVERIFY(rig.clock.nowUs() - start < 60000); // no time-out waited
            }
        }
    }

    void failedSelfTestNamesTheBox()
    {
        IcspRig rig("16F84A", IcspRig::wiring(3, "COM1"));
        rig.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckLow);
        QCOMPARE(rig.programmer->OuvrirProgrammateur(), IcspProgrammer::OpenNoAnswer);
        // The self-test's own report follows, so that the user sees what was read.
        QCOMPARE(rig.programmer->failureText(),
                 QString("Pas de réponse du module Q-PAK\n"
                         "Mauvaise réponse à AUTO-DIAG\n"
                         "[DATA, CLOCK] -> [DATA_R, CLOCK_R]:\n"
                         "[    0    ,    0    ] -> [    0    ,    0    ]\n"
                         "[    0    ,    1    ] -> [    0    ,    1    ]\n"
                         "[    1    ,    0    ] -> [    0    ,    0    ]\n"
                         "[    1    ,    1    ] -> [    0    ,    1    ]\n"
                         "DATA est bloquée à 0 !"));
    }

    // The port that cannot be opened is reported as such, with the system's reason.
    void portThatCannotOpen()
    {
        IcspRig rig("16F84A");
        rig.box->failOpens("Permission denied");
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.OuvrirProgrammateur(), IcspProgrammer::OpenPortFailed);
        QCOMPARE(p.failureText(), QString("cannot open COM1: COM1: Permission denied"));
        QCOMPARE(p.JumpTo(0x2000), IcspProgrammer::OpenPortFailed);

        MainSettings settings;
        settings.ICSPPort = "/dev/vek-no-such-tty";
        IcspTexts texts;
        texts.portFailure.openFailed = "cannot open {PORT}: {RAISON}";
        texts.portFailure.noSuchPort = "{DEVICE} is missing";
        IcspProgrammer real(settings, rig.clock, OpenIcspPort, texts);
        QCOMPARE(real.OuvrirProgrammateur(), IcspProgrammer::OpenPortFailed);
        QCOMPARE(real.failureText(),
                 QString("cannot open /dev/vek-no-such-tty: /dev/vek-no-such-tty is missing"));
    }

    // The device the programmer opens for a port name ("LPTn" is
    // parallel port n-1, "COMn" serial port n-1), through its own opening:
    // the parallel port on system calls that refuse it, the serial port in a
    // folder of the test's own where it is not there, so that no port of this
    // computer is touched. The failure names the device.
    void portNamesOpenTheirDevice_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("device");
        row("LPT1", "LPT1", "parport0");
        row("LPT2", "LPT2", "parport1");
        row("LPT3", "LPT3", "parport2");
        row("COM1", "COM1", "ttyS0");
        row("COM2", "COM2", "ttyS1");
        row("COM3", "COM3", "ttyS2");
    }

    void portNamesOpenTheirDevice()
    {
        QFETCH(QString, port);
        QFETCH(QString, device);
        const NumberedPorts none;
        device = none.folder.filePath(device);
        RefusedOpens calls;
        const auto opened = OpenIcspPortThrough(IcspRig::wiring(1, port), calls);
        QVERIFY(!opened);
        QVERIFY2(opened.error.startsWith(device + ": "), qPrintable(opened.error));
        QCOMPARE(calls.opened, port.startsWith("LPT") ? QStringList{device} : QStringList{});
    }

    // Opening twice (the window, then the first restart) opens the port once.
    void openingIsIdempotent()
    {
        IcspRig rig("16F84A");
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.OuvrirProgrammateur(), uint8_t(0));
        QCOMPARE(p.JumpTo(0x2000), uint8_t(0));
        QCOMPARE(p.OuvrirProgrammateur(), uint8_t(0));
        QCOMPARE(rig.box->opens(), 1);
        p.FermerProgrammateur();
        QVERIFY(!p.portOpen());
        QVERIFY(!rig.pic.inProgrammingMode());
    }

    // A wrong read-back pin stops the opening with one message; no bit is read.
    void wrongDataRPinCheckedOnce()
    {
        IcspRig rig("16F84A", IcspRig::wiring(1, "LPT1", 5, 3, 2, 9));
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.OuvrirProgrammateur(), IcspProgrammer::OpenBadPins);
        QCOMPARE(p.failureText(),
                 QString("La Broche : 9 sélectionné sur le port LPT en lecture n'est pas bonne"));
        QCOMPARE(rig.box->lineOperations, 0);
        QCOMPARE(p.JumpTo(0), IcspProgrammer::OpenBadPins);
    }

    void jumpToMovesAsTheChip()
    {
        IcspRig rig("16F84A");
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.InitProgrammation(), uint8_t(0));
        QCOMPARE(p.JumpTo(0x2007), uint8_t(0));
        QCOMPARE(p.PicPC, 0x2007);
        QCOMPARE(rig.pic.pc(), 0x2007);
        QCOMPARE(rig.pic.stats().increments, 7);
        const int entries = rig.pic.stats().programmingModeEntries;
        QCOMPARE(p.JumpTo(0x2100), uint8_t(0)); // restarts, then only labels the area
        QCOMPARE(rig.pic.stats().programmingModeEntries, entries + 1);
        QCOMPARE(p.PicPC, 0x2100);
        QCOMPARE(p.JumpTo(0x2103), uint8_t(0));
        QCOMPARE(rig.pic.pc(), 3);
        QCOMPARE(p.JumpTo(0x2103), uint8_t(0));
        QCOMPARE(rig.pic.stats().increments, 10);
    }

    void readConfigurationArea()
    {
        IcspRig rig("16F84A");
        rig.pic.userId = {1, 2, 3, 4};
        rig.pic.config = 0x3FF1;
        IcspProgrammer &p = *rig.programmer;
        PicImage image;
        QCOMPARE(p.JumpTo(0x2000), uint8_t(0));
        QCOMPARE(p.LireParametres(image), uint8_t(0));
        const std::array<uint8_t, 8> ids = {1, 0, 2, 0, 3, 0, 4, 0};
        QCOMPARE(image.UserID, ids);
        QCOMPARE(image.DeviceID, uint16_t(0x0563));
        QCOMPARE(image.ConfigWord, uint16_t(0x3FF1));
        QCOMPARE(p.PicPC, 0x2008);
    }

    void wordAlreadyThereIsNotProgrammed()
    {
        IcspRig rig("16F84A");
        rig.pic.program[5] = 0x1234;
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.ProgMotCode(5, 3, 0x1234), uint8_t(0));
        QCOMPARE(rig.pic.stats().programCycles, 0);
        QCOMPARE(p.PicPC, 6);
        QCOMPARE(p.ProgMotCode(6, 0, 0x1234), uint8_t(19)); // no attempt: nothing written
        QCOMPARE(rig.pic.stats().programCycles, 0);
    }

    void eepromRetryProgramsTheSameCell_data()
    {
        QTest::addColumn<int>("lostIncrement");
        QTest::addColumn<int>("errors");
        QTest::newRow("verify fails once") << 0 << 1;
        // The jump back to 0x2103 after the failed verify loses its second
        // increment (the 5th of the run): that jump is a failed attempt too.
        QTest::newRow("the retry's jump falls short") << 5 << 2;
    }
    void eepromRetryProgramsTheSameCell()
    {
        QFETCH(int, lostIncrement);
        QFETCH(int, errors);
        IcspRig rig("16F84A");
        rig.pic.flipLoadBit(1, 3); // the first Load Data frame is garbled on the line
        rig.pic.loseIncrement(lostIncrement);
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.JumpTo(0x2103), uint8_t(0));
        QCOMPARE(p.ProgOctetEEPROM(0x5A, 3), uint8_t(0));
        QCOMPARE(rig.pic.eeprom[3], uint8_t(0x5A));
        QCOMPARE(rig.pic.eeprom[1], uint8_t(0xFF)); // no other cell written
        QCOMPARE(rig.pic.eeprom[2], uint8_t(0xFF));
        QCOMPARE(p.NbErreurs, errors);
        QCOMPARE(p.PicPC, 0x2104);
        QCOMPARE(rig.pic.pc(), 4);
        QCOMPARE(p.ProgOctetEEPROM(0x100, 2), uint8_t(29)); // above a byte: never verifies
    }

    void programmerCodeStreamsTheImage()
    {
        IcspRig rig("16F84A");
        PicDevice device = IcspRig::deviceFor("16F84A");
        IcspRig::fillImage(device, 7, 0x3FFF);
        device.ImagePIC.setCodeWord(3, 0xFFFF); // high bits dropped
        IcspProgrammer &p = *rig.programmer;
        p.setChip(ChipTable::traitsOf("16F84A"));
        QCOMPARE(p.JumpTo(0), uint8_t(0));
        QCOMPARE(p.ProgrammerCode(device), uint8_t(0));
        for (int k = 0; k < 1024; ++k)
            QCOMPARE(rig.pic.program[size_t(k)], uint16_t(device.ImagePIC.codeWord(k) & 0x3FFF));
        QCOMPARE(rig.pic.program[3], uint16_t(0x3FFF));

        IcspRig stuck("16F84A");
        stuck.pic.refuseWrites(5);
        stuck.programmer->setChip(ChipTable::traitsOf("16F84A"));
        QCOMPARE(stuck.programmer->JumpTo(0), uint8_t(0));
        QCOMPARE(stuck.programmer->ProgrammerCode(device),
                 uint8_t(IcspProgrammer::StreamResult::VerifyFailed));
        QCOMPARE(stuck.programmer->codeRun().address, 5);
        QCOMPARE(stuck.pic.program[6], uint16_t(0x3FFF)); // nothing after the failure
    }
};

QTEST_GUILESS_MAIN(TestIcspLines)
#include "tst_icsplines.moc"
