// Whole-chip reads, writes and erases on the simulated PIC, the chip
// identification, the injected faults and the behaviour of real chips.
#include "IcspRig.h"
#include "RecordingSink.h"
#include "TestSupport.h"
#include "base/Jobs.h"
#include "base/MainSettingsLoader.h"
#include "base/NumberHelpers.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/ChipTable.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/ProgrammerOperations.h"

#include <QtTest>

using TestSupport::row;

namespace {

// Where an operation stopped, for the failure report of a test.
QByteArray where(const IcspResult &r)
{
    return QStringLiteral("stage %1 code %2 address %3 %4")
        .arg(int(r.stage))
        .arg(r.code)
        .arg(r.address)
        .arg(r.message)
        .toUtf8();
}

} // namespace

Q_DECLARE_METATYPE(IcspLineSettings)

class TestIcspChip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void programReadEraseEndToEnd_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<int>("config");
        QTest::addColumn<int>("blankChecksum");
        row("16F84A", "16F84A", 0x3FF1, 0x3CFE);
        row("16F628", "16F628", 0x3F70, 0x35FE);
    }
    void programReadEraseEndToEnd()
    {
        QFETCH(QString, chip);
        QFETCH(int, config);
        QFETCH(int, blankChecksum);
        IcspRig rig(chip);
        PicDevice device = IcspRig::deviceFor(chip);
        IcspRig::fillImage(device, 42, uint16_t(config));
        const int32_t checksum = device.CalculChecksum();

        IcspResult written = WriteChip(*rig.programmer, device, 5);
        QVERIFY2(written.ok(), where(written).constData());
        QVERIFY(IcspRig::imageOnChip(rig.pic, device));
        QCOMPARE(rig.pic.stats().commandsWhileBusy, 0);
        QCOMPARE(rig.pic.stats().interruptedWrites, 0);
        QVERIFY(!rig.pic.inProgrammingMode()); // closed

        PicDevice readBack;
        readBack.InitMemoire();
        IcspResult read = ReadChip(*rig.programmer, readBack, "AUTO");
        QVERIFY2(read.ok(), where(read).constData());
        QCOMPARE(readBack.DeviceChip, chip);
        QCOMPARE(readBack.CalculChecksum(), checksum);
        QVERIFY(IcspRig::imageOnChip(rig.pic, readBack));

        // A protected chip: only the erase at the configuration word lifts it.
        rig.pic.protectCode();
        IcspResult erased = EraseChip(*rig.programmer, device, 5);
        QVERIFY2(erased.ok(), where(erased).constData());
        QCOMPARE(device.CalculChecksum(), blankChecksum);
        QVERIFY(std::all_of(rig.pic.program.begin(), rig.pic.program.end(),
                            [](uint16_t w) { return w == 0x3FFF; }));
        QCOMPARE(rig.pic.config, uint16_t(0x3FFF));
        QCOMPARE(rig.pic.userId, (std::array<uint16_t, 4>{0x3FFF, 0x3FFF, 0x3FFF, 0x3FFF}));
        QCOMPARE(ReadChip(*rig.programmer, readBack, "AUTO").stage, IcspResult::Stage::Done);
        QCOMPARE(readBack.CalculChecksum(), blankChecksum);
    }

    void blankChecksumOf16F84()
    {
        IcspRig rig("16F84");
        rig.pic.program[17] = 0x0123;
        PicDevice device = IcspRig::deviceFor("16F84");
        QVERIFY(EraseChip(*rig.programmer, device, 5).ok());
        QCOMPARE(device.CalculChecksum(), 0x3CFE);
        PicDevice readBack = IcspRig::deviceFor("16F84");
        QVERIFY(ReadChip(*rig.programmer, readBack, "PIC-16F84").ok());
        QCOMPARE(readBack.CalculChecksum(), 0x3CFE);
    }

    void everyRouting_data()
    {
        QTest::addColumn<IcspLineSettings>("lines");
        for (int box = 0; box < 4; ++box)
            QTest::addRow("box %d COM1", box) << IcspRig::wiring(box, "COM1");
        row("JDM on LPT1 text", IcspRig::wiring(0, "LPT1"));
        row("VEKP tty path", IcspRig::wiring(1, "/dev/ttyUSB0"));
        const std::array<std::array<uint8_t, 4>, 5> pins = {
            {{5, 3, 2, 10}, {1, 14, 16, 11}, {9, 8, 7, 15}, {17, 6, 4, 13}, {2, 3, 4, 12}}};
        for (int box = 1; box < 4; ++box)
            for (const auto &p : pins)
                QTest::addRow("box %d LPT1 %d/%d/%d/%d", box, p[0], p[1], p[2], p[3])
                    << IcspRig::wiring(box, "LPT1", p[0], p[1], p[2], p[3]);
        row("VEK-MZ parport path", IcspRig::wiring(2, "/dev/parport0"));
    }
    void everyRouting()
    {
        QFETCH(IcspLineSettings, lines);
        IcspRig rig("16F84A", lines);
        IcspProgrammer &p = *rig.programmer;
        const auto id = IdentifyChip(p);
        QVERIFY(id);
        QCOMPARE(*id, uint16_t(0x0563));
        for (int k = 0; k < 16; ++k)
            QCOMPARE(p.ProgMotCode(k, 3, uint16_t(0x2A55 ^ k)), uint8_t(0));
        QCOMPARE(p.JumpTo(0), uint8_t(0));
        for (int k = 0; k < 16; ++k) {
            uint16_t w = 0;
            QCOMPARE(p.LireMotCode(w), uint8_t(0));
            QCOMPARE(w, uint16_t(0x2A55 ^ k));
        }
        QCOMPARE(p.NbErreurs, 0);
        p.FermerProgrammateur();
    }

    void autoPicksEachRow_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("chip");
        row("real 16F84A", 0x0560, "16F84A");
        row("16F84A row", 0x10E0, "16F84A");
        row("12C508A", 0x01E3, "12C508A");
        row("16F628", 0x07C3, "16F628");
        row("16F876", 0x09E7, "16F876");
        row("16F876A", 0x0E05, "16F876A");
    }
    void autoPicksEachRow()
    {
        QFETCH(int, id);
        QFETCH(QString, chip);
        SimChipModel model = SimChipModel::byName("16F84A");
        model.deviceId = uint16_t(id);
        ManualClock clock;
        SimulatedPic pic(clock, model);
        SimulatedProgrammerBox box(pic, IcspLineSettings{});
        box.onPortClosed([&pic] { IcspRig::failOnTimingViolations(pic); });
        IcspProgrammer p(MainSettings{}, clock, box.opener());
        const auto read = IdentifyChip(p);
        QVERIFY(read);
        const auto found = ChipTable::identify(*read);
        QCOMPARE(found.result, ChipTable::Identification::Result::Recognised);
        QCOMPARE(found.record.DeviceChip, chip);
    }

    // ---- injected faults: the protocol's code, never a false success

    // Each fault where it strikes: the stage, the protocol's code and the
    // address the operation reports, and what the write's failure box says.
    void injectedFaults_data()
    {
        QTest::addColumn<QString>("operation"); // "write", "read" or "erase"
        QTest::addColumn<QString>("fault");     // "refuse", "flip", "lose" or "weak"
        QTest::addColumn<int>("at");            // the cell, the nth frame or increment
        QTest::addColumn<int>("count");         // the frame's bit, the erases a weak cell survives
        QTest::addColumn<int>("seed");          // of the image written
        QTest::addColumn<int>("attempts");
        QTest::addColumn<IcspResult::Stage>("stage");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("errors"); // failed attempts counted (-1: not looked at)
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("box"); // the write's failure box ("": none)
        using S = IcspResult::Stage;
        // The code, then what it says in words.
        const QString failed = "La programmation du PIC a échoué.\r\nAdresse =  [0x%1]\r\n"
                               "Code erreur = %2 : %3";
        const QString attemptsUsed = "la valeur relue diffère de la valeur écrite, à chaque essai";
        const QString notEchoed = "le PIC n'a pas renvoyé la commande ; vérifiez le câble, "
                                  "l'alimentation et la présence du PIC";
        row("code word refuses writes", "write", "refuse", 0x123, 0, 3, 3, S::WriteCode, 19, 0x123,
            3, "", failed.arg("0123").arg(19).arg(attemptsUsed));
        row("EEPROM byte refuses writes", "write", "refuse", 0x2105, 0, 3, 3, S::WriteEeprom, 29, 5,
            3, "", failed.arg("2105").arg(29).arg(attemptsUsed));
        row("user ID refuses writes", "write", "refuse", 0x2002, 0, 3, 3, S::WriteUserId, 19, 2, 3,
            "", failed.arg("2002").arg(19).arg(attemptsUsed));
        row("configuration word refuses writes", "write", "refuse", 0x2007, 0, 3, 3, S::WriteConfig,
            19, 0x2007, 3, "", failed.arg("2007").arg(19).arg(attemptsUsed));
        row("bit flipped on the line", "write", "flip", 10, 5, 5, 5, S::WriteCode, 12, 9, -1, "",
            failed.arg("0009").arg(12).arg(notEchoed));
        // A lost increment used to put every later word one cell too low while
        // each verified: its echo is now checked and the word is tried again.
        row("increment lost on write", "write", "lose", 200, 0, 9, 5, S::Done, 0, -1, 1, "", "");
        row("increment lost on read", "read", "lose", 300, 0, 0, 0, S::ReadCode, 21, 0x123, -1, "",
            "");
        // The erase goes round up to three times (each round the three erase
        // sequences, two of which take the program memory).
        row("erase in one round", "erase", "weak", 0x40, 0, 0, 3, S::Done, 0, -1, -1, "", "");
        row("erase needs a second round", "erase", "weak", 0x40, 2, 0, 3, S::Done, 0, -1, -1, "",
            "");
        row("erase needs a third round", "erase", "weak", 0x40, 4, 0, 3, S::Done, 0, -1, -1, "",
            "");
        row("erase never takes", "erase", "weak", 0x40, 6, 0, 3, S::BlankCheck, 0, 0x40, -1,
            "not blank at 0x0040", "");
        // The last program word, where a blank check that stops one short passes.
        row("cell refuses the erase", "erase", "refuse", 0x3FF, 0, 0, 3, S::BlankCheck, 0, 0x3FF,
            -1, "not blank at 0x03FF", "");
    }
    void injectedFaults()
    {
        QFETCH(QString, operation);
        QFETCH(QString, fault);
        QFETCH(int, at);
        QFETCH(int, count);
        QFETCH(int, seed);
        QFETCH(int, attempts);
        QFETCH(IcspResult::Stage, stage);
        QFETCH(int, code);
        QFETCH(int, address);
        QFETCH(int, errors);
        QFETCH(QString, message);
        QFETCH(QString, box);
        IcspRig rig("16F84A");
        if (fault == "refuse")
            rig.pic.refuseWrites(at);
        else if (fault == "flip")
            rig.pic.flipLoadBit(at, count);
        else if (fault == "lose")
            rig.pic.loseIncrement(at);
        else
            rig.pic.weakCell(at, count);
        PicDevice device = IcspRig::deviceFor("16F84A");
        IcspRig::fillImage(device, uint32_t(seed), 0x3FF1);
        IcspResult r;
        if (operation == "write") {
            r = WriteChip(*rig.programmer, device, uint8_t(attempts));
        } else if (operation == "read") {
            r = ReadChip(*rig.programmer, device, "AUTO");
        } else {
            rig.pic.program[size_t(at)] = 0x0101;
            r = EraseChip(*rig.programmer, device, uint8_t(attempts));
        }
        QVERIFY2(r.stage == stage, where(r).constData());
        QCOMPARE(int(r.code), code);
        QCOMPARE(r.address, address);
        QCOMPARE(r.message, message);
        if (errors >= 0)
            QCOMPARE(rig.programmer->NbErreurs, errors);
        if (!box.isEmpty())
            QCOMPARE(ProgrammerReports::writeFailureBox(r), box);
        if (r.ok() && operation == "write")
            QVERIFY(IcspRig::imageOnChip(rig.pic, device));
        if (operation == "erase") {
            // Rounds made: each sends the three erase sequences.
            const int rounds = r.ok() ? count / 2 + 1 : 3;
            QCOMPARE(rig.pic.stats().bulkErases, 3 * rounds);
            QCOMPARE(rig.pic.program[size_t(at)], uint16_t(r.ok() ? 0x3FFF : 0x0101));
        }
    }

    // The chip's counter misses one increment while the line echoes it: every
    // later word went one cell too low, each verified where it landed. The fresh
    // read after the write finds the first shifted cell. The last two user IDs
    // are alike: the fourth lands on the third and reads right there, and only
    // its own cell, left as it was, tells.
    void missedIncrementIsNoSuccess_data()
    {
        QTest::addColumn<bool>("quick");
        QTest::addColumn<int>("skipped"); // the increment the chip misses (1-based)
        QTest::addColumn<int>("address"); // the first cell found wrong
        // The device ID read steps 8 times first; then the code stage steps once
        // a word, the EEPROM stage once a byte, the user ID stage once a word.
        row("write, code stage", false, 8 + 200, 199);
        row("write, EEPROM stage", false, 8 + 1024 + 11, 0x2100 + 10);
        row("write, fourth user ID", false, 8 + 1024 + 64 + 3, 0x2003);
        row("quick code", true, 8 + 100, 99);
    }
    void missedIncrementIsNoSuccess()
    {
        QFETCH(bool, quick);
        QFETCH(int, skipped);
        QFETCH(int, address);
        IcspRig rig("16F84A");
        rig.pic.skipIncrement(skipped);
        PicDevice device = IcspRig::deviceFor("16F84A");
        IcspRig::fillImage(device, 9, 0x3FF1);
        PicImage &image = device.ImagePIC;
        image.UserID[4] = image.UserID[6];
        const IcspResult r = quick ? ProgrammerCodeRapide(*rig.programmer, device, {})
                                   : WriteChip(*rig.programmer, device, 5);
        QCOMPARE(r.stage, IcspResult::Stage::ReadBack);
        QCOMPARE(r.address, address);
        // A program or EEPROM cell holds what belonged to the next one; the
        // fourth user ID's cell stays blank.
        int want = 0, read = 0x3FFF;
        if (address < 0x2000) {
            want = image.codeWord(address);
            read = image.codeWord(address + 1);
        } else if (address < 0x2100) {
            want = image.UserID[size_t(2 * (address - 0x2000))];
        } else {
            want = image.ImageEEPROM[size_t(address - 0x2100)];
            read = image.ImageEEPROM[size_t(address - 0x2100 + 1)];
        }
        QCOMPARE(r.message,
                 QString("read back %1 %2 %3").arg(HexWord(address), HexWord(read), HexWord(want)));
        QVERIFY(!rig.programmer->portOpen());
    }

    // The configuration area's eight words on the bar: its text, then the
    // percentage the bar adds, once ("... : 88 %", never "... : 8888 %").
    void configurationAreaProgress()
    {
        IcspRig rig("16F628");
        RecordingSink sink;
        rig.programmer->attach(&sink, nullptr);
        QCOMPARE(rig.programmer->OuvrirProgrammateur(), uint8_t(0));
        QVERIFY(IdentifyChip(*rig.programmer));
        QCOMPARE(sink.percents(1), (QList<double>{0, 12, 25, 38, 50, 62, 75, 88}));
        for (const RecordingSink::Bar &bar : sink.barsOn(1))
            QCOMPARE(bar.text, QString("Lecture Paramètres (8) bytes : "));
        rig.programmer->FermerProgrammateur();
    }

    // ---- real chips

    void noChipIsNoChip()
    {
        IcspRig rig("16F84A");
        rig.pic.setPresent(false);
        IcspProgrammer &p = *rig.programmer;
        QCOMPARE(p.OuvrirProgrammateur(), uint8_t(0)); // the loop-back passes the self-test
        const auto id = IdentifyChip(p);
        QVERIFY(id);
        QCOMPARE(*id, uint16_t(0x3FFF));
        QCOMPARE(ChipTable::identify(*id).result, ChipTable::Identification::Result::NoChip);
        QCOMPARE(ChipTable::identify(0).result, ChipTable::Identification::Result::NoChip);
        PicDevice device;
        const IcspResult r = ReadChip(p, device, "AUTO");
        QCOMPARE(r.stage, IcspResult::Stage::Identify);
        QCOMPARE(r.message, QString("no chip, a 16F84 is chosen"));
        QVERIFY(device.DeviceChip.isEmpty()); // not taken for a 16F84

        PicDevice image = IcspRig::deviceFor("16F84");
        IcspRig::fillImage(image, 1, 0x3FFF);
        QCOMPARE(WriteChip(p, image, 2).code, uint8_t(19)); // nothing verifies
    }

    // Every operation reads the device ID first: no chip, another chip or a
    // record the programmer cannot program stops it before anything is
    // written, and the message says which; under "AUTO" (rows so named, the
    // record being the chip read last) it says what AUTO found.
    void wrongOrMissingChipStopsEveryOperation_data()
    {
        QTest::addColumn<QString>("onLines"); // the simulated chip ("" none)
        QTest::addColumn<QString>("chosen");  // the device record ("" empty)
        QTest::addColumn<QString>("message");
        const QString noChip = "no chip";
        const QString choose = "choose the chip";
        row("no chip, 16F84A", "", "16F84A", noChip);
        row("no chip, 12F629", "", "12F629", noChip);
        row("16F84A as 16F628", "16F84A", "16F628", "not 16F628 but 16F84A 0x0563");
        row("12F629 as 16F84A", "12F629", "16F84A", "not 16F84A but 12F629 0x0F83");
        row("16F628 as 16F84", "16F628", "16F84", "not 16F84 but 16F628 0x07C2");
        row("16F877A as 16F876A", "16F877A", "16F876A", "not 16F876A but 16F877A 0x0E27");
        row("empty record", "12F629", "", choose);
        row("18F record", "16F84A", "18F2550", choose);
        row("AUTO: 16F84A after a 16F876A", "16F84A", "16F876A",
            "AUTO found 16F84A 0x0563, not 16F876A");
        // A chip swapped under "AUTO" is told as a read of it would tell it.
        row("AUTO: 16F877A after a 16F876A", "16F877A", "16F876A", "16F877A 0x0E27 not supported");
        row("AUTO: 12F629 after a 16F628", "12F629", "16F628",
            "AUTO found 12F629 0x0F83: choose it in the list");
    }
    void wrongOrMissingChipStopsEveryOperation()
    {
        QFETCH(QString, onLines);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        const bool automatic = QString(QTest::currentDataTag()).startsWith("AUTO");
        enum Operation { Read, Write, Erase, QuickCode, Verify };
        for (const Operation operation : {Read, Write, Erase, QuickCode, Verify}) {
            IcspRig rig(onLines.isEmpty() ? QStringLiteral("16F84A") : onLines, {}, true);
            rig.pic.setPresent(!onLines.isEmpty());
            const std::vector<uint16_t> program = rig.pic.program;
            PicDevice device;
            if (!chosen.isEmpty())
                device = IcspRig::deviceFor(chosen);
            IcspRig::fillImage(device, 3, 0x3FF1);
            rig.settings.ICSPChip = automatic ? "AUTO" : "PIC-" + chosen;
            IcspProgrammer p(rig.settings, rig.clock, rig.box->opener(), rig.programmer->texts());
            IcspResult r;
            switch (operation) {
            case Read:
                if (chosen.isEmpty() || automatic)
                    continue; // "AUTO" identifies the chip itself
                r = ReadChip(p, device, "PIC-" + chosen);
                break;
            case Write:
                r = WriteChip(p, device, 3);
                break;
            case Erase:
                r = EraseChip(p, device, 3);
                break;
            case QuickCode:
                r = ProgrammerCodeRapide(p, device, {});
                break;
            case Verify: // "Verify MODULE"
                if (chosen.isEmpty() || automatic)
                    continue; // as a read
                r = VerifierModule(p, device, "PIC-" + chosen);
                break;
            }
            QVERIFY2(r.stage == IcspResult::Stage::Identify, where(r).constData());
            QCOMPARE(r.message, message);
            QCOMPARE(rig.pic.stats().programCycles + rig.pic.stats().eepromCycles, 0);
            QCOMPARE(rig.pic.stats().bulkErases, 0);
            QVERIFY(rig.pic.program == program);
            QVERIFY(!p.portOpen());
        }
    }

    // A 16F84 has no ID word: a read that finds nothing but blank cells, and
    // an erase, say that the chip may as well be absent.
    void blankRead16F84MayBeNoChip()
    {
        IcspRig rig("16F84");
        rig.pic.setPresent(false);
        PicDevice device = IcspRig::deviceFor("16F84");
        const IcspResult r = ReadChip(*rig.programmer, device, "PIC-16F84");
        QVERIFY2(r.ok(), where(r).constData());
        QCOMPARE(r.notes, QStringList{"blank or absent"});
        rig.pic.setPresent(true);
        rig.pic.eeprom[3] = 0x12;
        const IcspResult written = ReadChip(*rig.programmer, device, "PIC-16F84");
        QVERIFY(written.ok() && written.notes.isEmpty());
        // Its erase ends on a blank check that an empty socket passes as well.
        rig.pic.setPresent(false);
        const IcspResult erased = EraseChip(*rig.programmer, device, 3);
        QVERIFY2(erased.ok(), where(erased).constData());
        QCOMPARE(erased.notes, QStringList{"blank or absent"});
    }

    void unknownIdStops_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("id");
        row("16F628A", "16F628A", "0x1066");
        row("16F877A", "16F877A", "0x0E27");
        row("12F629", "12F629", "0x0F83");
    }
    void unknownIdStops()
    {
        QFETCH(QString, chip);
        QFETCH(QString, id);
        IcspRig rig(chip, {}, true);
        PicDevice device;
        const IcspResult r = ReadChip(*rig.programmer, device, "AUTO");
        QCOMPARE(r.stage, IcspResult::Stage::Identify);
        // A chip of the set-up's list is named, to be chosen there; the others
        // are not supported. The message is the one a write after a swap gives.
        QCOMPARE(r.message, chip == "12F629" ? "AUTO found 12F629 " + id + ": choose it in the list"
                                             : chip + " " + id + " not supported");
        QVERIFY(device.DeviceChip.isEmpty());
    }

    void writeTimesOfRealChips_data()
    {
        QTest::addColumn<QString>("chip");
        row("16F84A", "16F84A");
        row("16F628", "16F628");
    }
    void writeTimesOfRealChips()
    {
        QFETCH(QString, chip);
        PicDevice device = IcspRig::deviceFor(chip);
        IcspRig::fillImage(device, 11, 0x3FFF);
        {
            // The old single millisecond after Begin Programming.
            IcspRig rig(chip, {}, true);
            ChipTraits hurried = ChipTable::traitsOf(chip);
            hurried.programMs = 1;
            rig.programmer->setChip(hurried);
            QVERIFY(rig.programmer->ProgMotCode(0, 5, device.ImagePIC.codeWord(0)) != 0);
            QVERIFY(rig.pic.stats().commandsWhileBusy > 0);
            const QStringList late = rig.pic.takeTimingViolations();
            QVERIFY(!late.isEmpty());
            QVERIFY2(late.first().contains("before the write or erase ended"),
                     qPrintable(late.first()));
        }
        IcspRig rig(chip, {}, true);
        const IcspResult r = WriteChip(*rig.programmer, device, 5);
        QVERIFY2(r.ok(), where(r).constData());
        QCOMPARE(rig.pic.stats().commandsWhileBusy, 0);
        QCOMPARE(rig.pic.stats().interruptedWrites, 0);
        QCOMPARE(rig.programmer->NbErreurs, 0);
        QVERIFY(IcspRig::imageOnChip(rig.pic, device)); // configuration 0x3FFF reads as written
    }

    // A stored pause after each frame outside the set-up's 1 to 200 us (0,
    // negative, no number, a fraction, minutes a word) is loaded as the usual
    // 15 us: with none, every frame follows the data line's last move at
    // once, which the chip counts as a timing violation (the rig fails the
    // test on it when the port closes).
    void storedDelayBelowTheMinimum_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("loaded");
        row("0", "0", "15");
        row("negative", "-5", "15");
        row("no number", "abc", "15");
        row("0.4", "0.4", "15");
        row("99999", "99999", "15");
        row("40", "40", "40");
    }
    void storedDelayBelowTheMinimum()
    {
        QFETCH(QString, stored);
        QFETCH(QString, loaded);
        QTemporaryDir dir;
        QSettings store(dir.filePath("store.ini"), QSettings::IniFormat);
        store.setValue("ICSP/ICSP_Delay", stored);
        MainSettings settings;
        MainSettingsLoader(store).Load(settings);
        QCOMPARE(settings.ICSPDELAY, loaded);
        IcspRig rig("16F84A");
        rig.settings.ICSPDELAY = settings.ICSPDELAY;
        rig.programmer =
            std::make_unique<IcspProgrammer>(rig.settings, rig.clock, rig.box->opener());
        PicDevice device = IcspRig::deviceFor("16F84A");
        IcspRig::fillImage(device, 3, 0x3FF1);
        const IcspResult r = WriteChip(*rig.programmer, device, 5);
        QVERIFY2(r.ok(), where(r).constData());
    }

    void configurationVerifyUnderMask()
    {
        IcspRig old("16F628", {}, true);
        ChipTraits everyBit = ChipTable::traitsOf("16F628");
        everyBit.configMask = 0x3FFF;
        old.programmer->setChip(everyBit);
        QCOMPARE(old.programmer->ProgMotCode(0x2007, 3, 0x3D70), uint8_t(19));

        IcspRig rig("16F628", {}, true);
        PicDevice device = IcspRig::deviceFor("16F628");
        IcspRig::fillImage(device, 13, 0x3D70);
        const IcspResult r = WriteChip(*rig.programmer, device, 3);
        QVERIFY2(r.ok(), where(r).constData());
        QCOMPARE(device.ImagePIC.ConfigWord, uint16_t(0x3F70)); // as the chip reads it
        QCOMPARE(rig.pic.readConfig(), uint16_t(0x3F70));
    }

    void eraseWithTheChipsOwnCommands()
    {
        IcspRig rig("12F629", {}, true);
        std::fill(rig.pic.program.begin(), rig.pic.program.end() - 1, 0x0123);
        rig.pic.eeprom[5] = 0x12;
        IcspProgrammer &p = *rig.programmer;
        // The old sequences: every frame echoes, nothing is erased.
        p.setChip(ChipTable::traitsOf("12F629"));
        QCOMPARE(p.InitProgrammation(), uint8_t(0));
        QCOMPARE(p.EffacerProtection(), uint8_t(0));
        QCOMPARE(p.EffacerCode(), uint8_t(0));
        QCOMPARE(p.EffacerEEPROM(), uint8_t(0));
        p.FermerProgrammateur();
        QCOMPARE(rig.pic.program[1], uint16_t(0x0123));

        PicDevice device = IcspRig::deviceFor("12F629");
        const IcspResult r = EraseChip(p, device, 3);
        QVERIFY2(r.ok(), where(r).constData());
        QCOMPARE(rig.pic.program[1], uint16_t(0x3FFF));
        QCOMPARE(rig.pic.eeprom[5], uint8_t(0xFF));
    }

    // The erase puts the 12F629's factory calibration back: as read when it is a
    // RETLW; else (a protected chip reads 0x0000) only as the user answered
    // before, and without an answer nothing is erased.
    void calibrationAroundTheErase_data()
    {
        QTest::addColumn<bool>("isProtected");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<int>("typed");  // -1: go on without it
        QTest::addColumn<int>("osccal"); // what the chip holds afterwards
        QTest::addColumn<QString>("said");
        row("factory OSCCAL", false, false, -1, 0x3480, "kept 0x3480 0x1000");
        row("protected, not asked", true, false, -1, 0x3480, "lost 0x0000");
        row("protected, value typed", true, true, 0x3490, 0x3490, "typed 0x3490 0x1000");
        row("protected, without it", true, true, -1, 0x3FFF, "not written 0x1000");
    }
    void calibrationAroundTheErase()
    {
        QFETCH(bool, isProtected);
        QFETCH(bool, asked);
        QFETCH(int, typed);
        QFETCH(int, osccal);
        QFETCH(QString, said);
        IcspRig rig("12F629", {}, true);
        QCOMPARE(rig.pic.program[0x3FF], uint16_t(0x3480));
        rig.pic.program[5] = 0x0123;
        if (isProtected)
            rig.pic.protectCode();
        CalibrationAnswer answer{asked, std::nullopt};
        if (typed >= 0)
            answer.typed = uint16_t(typed);
        PicDevice device = IcspRig::deviceFor("12F629");
        const IcspResult r = EraseChip(*rig.programmer, device, 3, answer);
        QCOMPARE(rig.pic.stats().deviceIdReads, 1); // the chip is checked once, at the start
        QCOMPARE(rig.pic.program[0x3FF], uint16_t(osccal));
        QCOMPARE(rig.pic.config & 0x3000, 0x1000); // band-gap bits
        if (isProtected && !asked) {
            QCOMPARE(r.stage, IcspResult::Stage::Calibration);
            QCOMPARE(r.message, said);
            QCOMPARE(rig.pic.stats().bulkErases, 0);
            QCOMPARE(rig.pic.program[5], uint16_t(0x0123));
            return;
        }
        QVERIFY2(r.ok(), where(r).constData());
        QCOMPARE(r.notes, QStringList{said});
        QCOMPARE(rig.pic.program[5], uint16_t(0x3FFF));
        QCOMPARE(device.ImagePIC.codeWord(0x3FF), uint16_t(osccal));
    }

    // The value typed for a lost OSCCAL word: only a RETLW is one.
    void typedCalibration_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // -2: asked again, -1: go on without it
        row("nothing typed", "  ", -1);
        row("digits", "3480", 0x3480);
        row("prefixed", " 0X34ff ", 0x34FF);
        row("no RETLW", "3FFF", -2);
        row("no number", "zz", -2);
    }
    void typedCalibration()
    {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        const std::optional<CalibrationAnswer> got = TypedCalibration(typed);
        QCOMPARE(got.has_value(), answer != -2);
        if (got) {
            QVERIFY(got->asked);
            QCOMPARE(got->typed.value_or(0xFFFF), answer < 0 ? 0xFFFF : answer);
        }
    }

    // Writes and the quick code never take the OSCCAL word or the band-gap bits
    // from the image; an erase that knew nothing of them destroyed both.
    void calibrationNeverFromTheImage()
    {
        {
            IcspRig old("12F629", {}, true);
            old.programmer->setChip(ChipTable::traitsOf("12F629"));
            QCOMPARE(old.programmer->InitProgrammation(), uint8_t(0));
            QCOMPARE(old.programmer->EffacerBulk(), uint8_t(0));
            old.programmer->FermerProgrammateur();
            QCOMPARE(old.pic.program[0x3FF], uint16_t(0x3FFF));
        }
        for (const bool quick : {false, true}) {
            IcspRig rig("12F629", {}, true);
            PicDevice device = IcspRig::deviceFor("12F629");
            IcspRig::fillImage(device, 17, 0x3FFF);
            device.ImagePIC.setCodeWord(0x3FF, 0x0123);
            const IcspResult r = quick ? ProgrammerCodeRapide(*rig.programmer, device, {})
                                       : WriteChip(*rig.programmer, device, 3);
            QVERIFY2(r.ok(), where(r).constData());
            QCOMPARE(rig.pic.program[0x3FF], uint16_t(0x3480));
            QCOMPARE(rig.pic.config & 0x3000, 0x1000);
            QCOMPARE(rig.pic.program[0x10], uint16_t(device.ImagePIC.codeWord(0x10)));
        }
    }

    void cancelStopsBetweenWords()
    {
        IcspRig rig("16F84A");
        PicDevice device = IcspRig::deviceFor("16F84A");
        IcspRig::fillImage(device, 2, 0x3FFF);
        CancelToken cancel;
        cancel.cancel();
        rig.programmer->attach(nullptr, &cancel);
        const IcspResult r = WriteChip(*rig.programmer, device, 3);
        QCOMPARE(r.stage, IcspResult::Stage::Cancelled);
        QCOMPARE(r.address, 0);
        QVERIFY(!rig.programmer->portOpen());
    }
};

QTEST_GUILESS_MAIN(TestIcspChip)
#include "tst_icspchip.moc"
