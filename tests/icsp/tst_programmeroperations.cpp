// Table programming and module verification on the simulated PIC, and the
// set-up dialog's line tests on the simulated programmer box.
#include "IcspRig.h"
#include "RecordingSink.h"
#include "TestSupport.h"
#include "base/Jobs.h"
#include "base/VEK_LANGUAGE.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/IcspLineChecks.h"
#include "icsp/ProgrammerOperations.h"

#include <QtTest>

using TestSupport::row;

namespace {

CurveTableArea lookupTable(int address)
{
    CurveTableArea t{QStringLiteral("L1 basse"), address, {0x0782}};
    for (int i = 1; i < 256; ++i)
        t.words.push_back(uint16_t(0x3400 | (i * 7 & 0xFF)));
    return t;
}

const CurveTableTexts texts{QStringLiteral("Courbe"), QStringLiteral("en cours"),
                            QStringLiteral("octets"), QStringLiteral("(Erreur=%1)")};

} // namespace

class TestProgrammerOperations : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    // What column 0 or a failed generation leaves must not reach the chip: a
    // table is a program word, then 255 return-with-literal words (0x34xx).
    void notATableIsRefused_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("word");  // every word
        QTest::addColumn<int>("other"); // word 9, when the table has one
        QTest::addColumn<int>("bad");   // the first word refused, -1: programmed
        row("256 zeros", 256, 0, 0, 1);
        row("no entry", 0, 0, 0, 0);
        row("short", 200, 0x3412, 0x3412, 200);
        row("0x3000", 256, 0x3412, 0x3000, 9);
        row("0x33FF", 256, 0x3412, 0x33FF, 9);
        row("0x35FF", 256, 0x3412, 0x35FF, 9);
        row("0x3FFF", 256, 0x3412, 0x3FFF, 9);
        row("0x3400 and 0x34FF", 256, 0x3400, 0x34FF, -1);
    }
    void notATableIsRefused()
    {
        QFETCH(int, count);
        QFETCH(int, word);
        QFETCH(int, other);
        QFETCH(int, bad);
        IcspRig rig(QStringLiteral("16F876A"));
        QCOMPARE(rig.programmer->InitProgrammation(), uint8_t(0));
        CurveTableArea table{QStringLiteral("L1"), 0x300,
                             std::vector<uint16_t>(size_t(count), uint16_t(word))};
        if (count > 9)
            table.words[9] = uint16_t(other);
        const IcspResult r = ProgrammerTablesCourbes(*rig.programmer, table, 5, texts, 0, 512);
        if (bad < 0) {
            QVERIFY(r.ok());
            QCOMPARE(rig.pic.program[0x300 + 9], uint16_t(other));
            return;
        }
        QCOMPARE(r.stage, IcspResult::Stage::WriteCode);
        QCOMPARE(r.code, uint8_t(0));
        QCOMPARE(r.address, bad);
        QCOMPARE(rig.pic.stats().programCycles, 0);
    }

    // The second of two tables draws the bar from 50 % to 100 %.
    void secondTableFillsTheSecondHalf()
    {
        IcspRig rig(QStringLiteral("16F876A"));
        RecordingSink sink;
        rig.programmer->attach(&sink, nullptr);
        QCOMPARE(rig.programmer->InitProgrammation(), uint8_t(0));
        const CurveTableArea table = lookupTable(0x500);
        QVERIFY(ProgrammerTablesCourbes(*rig.programmer, table, 5, texts, 256, 512).ok());
        QCOMPARE(sink.percents().first(), 50.0);
        QCOMPARE(sink.percents().last(), 100.0);
        QVERIFY(sink.statuses.last().endsWith("(Erreur=0)"));
        for (int i = 0; i < 256; ++i)
            QCOMPARE(rig.pic.program[size_t(0x500 + i)], table.words[size_t(i)]);
    }

    void failureAtTheTenthWord()
    {
        IcspRig rig(QStringLiteral("16F876A"));
        rig.pic.refuseWrites(0x300 + 9);
        PicDevice device = IcspRig::deviceFor(QStringLiteral("16F876A"));
        int failed = -1;
        const IcspResult r = ProgrammerCourbes(
            *rig.programmer, device, {lookupTable(0x300), lookupTable(0x500)}, 3, texts, failed);
        QCOMPARE(r.stage, IcspResult::Stage::WriteCode);
        QCOMPARE(r.address, 9);
        QCOMPARE(failed, 0);
        QCOMPARE(ProgrammerReports::tableStatus(r, "L1 basse", "VEKP"),
                 VEK_LANGUAGE::GetLanguageText("MessErrProgTables") +
                     " L1 basse [0x0009] : la valeur relue "
                     "diffère de la valeur écrite, à chaque "
                     "essai");
        QVERIFY(!rig.programmer->portOpen());
        QCOMPARE(rig.pic.program[0x500], uint16_t(0x3FFF)); // stopped there
    }

    void verificationThatCannotOpenClosesThePort()
    {
        IcspRig rig(QStringLiteral("16F84A"));
        rig.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckLow);
        PicDevice device = IcspRig::deviceFor(QStringLiteral("16F84A"));
        device.ImagePIC.UserID[1] = 0x55;
        const IcspResult r = VerifierModule(*rig.programmer, device, "AUTO");
        QCOMPARE(r.stage, IcspResult::Stage::Open);
        QVERIFY(!rig.programmer->portOpen());
        QCOMPARE(int(device.ImagePIC.UserID[1]), 0x55); // nothing stored
    }

    // A read of the configuration area that breaks off half way (the chip's
    // third increment is lost on the line) stores none of it, and the report
    // names the area's address.
    void failedConfigurationReadKeepsTheImage_data()
    {
        QTest::addColumn<bool>("verification");
        row("chip read", false);
        row("module verification", true);
    }

    void failedConfigurationReadKeepsTheImage()
    {
        QFETCH(bool, verification);
        IcspRig rig(QStringLiteral("16F84A"));
        rig.pic.userId = {0x0102, 0x0304, 0x0506, 0x0708};
        rig.pic.loseIncrement(3);
        PicDevice device = IcspRig::deviceFor(QStringLiteral("16F84A"));
        device.ImagePIC.UserID.fill(0x55);
        device.ImagePIC.DeviceID = 0x1234;
        device.ImagePIC.ConfigWord = 0x3FF1;
        const IcspResult r = verification ? VerifierModule(*rig.programmer, device, "AUTO")
                                          : ReadChip(*rig.programmer, device, "AUTO");
        QCOMPARE(r.stage, IcspResult::Stage::ReadConfig);
        QCOMPARE(r.address, 0x2000);
        for (const uint8_t byte : device.ImagePIC.UserID)
            QCOMPARE(int(byte), 0x55);
        QCOMPARE(device.ImagePIC.DeviceID, uint16_t(0x1234));
        QCOMPARE(device.ImagePIC.ConfigWord, uint16_t(0x3FF1));
        const QString report = verification ? ProgrammerReports::verifyStatus(r, "VEKP")
                                            : ProgrammerReports::readStatus(r, "VEKP");
        QVERIFY2(report.endsWith(" [0x2000] : le PIC n'a pas renvoyé la commande de passage à "
                                 "l'adresse suivante"),
                 qPrintable(report));
        QVERIFY(!rig.programmer->portOpen());
    }

    // A fresh read after a write that fails on the lines (no cell compared)
    // still tells the user what and where: every report of a write names the
    // area and the address.
    void readBackFailureOnTheLinesIsWorded_data()
    {
        QTest::addColumn<int>("address");
        QTest::addColumn<QString>("named");
        row("program word", 0x01A3, "Problème: lecture de la mémoire programme [0x01A3]");
        row("configuration", 0x2000,
            "Problème: lecture de la zone de configuration impossible [0x2000]");
        row("EEPROM byte", 0x2105, "Problème: lecture de la mémoire EEPROM [0x2105]");
    }

    void readBackFailureOnTheLinesIsWorded()
    {
        QFETCH(int, address);
        QFETCH(QString, named);
        const IcspResult r = IcspResult::failure(IcspResult::Stage::ReadBack, 3, address);
        const QString reports[] = {ProgrammerReports::writeStatus(r, "VEKP"),
                                   ProgrammerReports::writeFailureBox(r),
                                   ProgrammerReports::codeFailure(r, "VEKP"),
                                   ProgrammerReports::tableStatus(r, "L1 basse", "VEKP")};
        for (const QString &report : reports)
            QVERIFY2(report.endsWith(named), qPrintable(report));
    }

    // The status line of every stage where a read or a write can stop, from a
    // fault on the chip's side: what it says and the address it names (a
    // program word or EEPROM byte, an ID by its index). The jumps to the code
    // and the EEPROM only restart programming mode, which the chip cannot make
    // fail once the programmer is open.
    void everyFailureStageIsWorded_data()
    {
        using S = IcspResult::Stage;
        QTest::addColumn<bool>("write");
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("fault"); // see the test
        QTest::addColumn<int>("at");        // the cell, or the nth frame of its kind
        QTest::addColumn<IcspResult::Stage>("stage");
        QTest::addColumn<QString>("status");
        const QString opening = "Ouverture impossible du programmateur VEKP\ncannot open COM1: "
                                "COM1: busy";
        // Each protocol code in words, after what failed.
        const QString echo = " : le PIC n'a pas renvoyé la commande ; vérifiez le câble, "
                             "l'alimentation et la présence du PIC";
        const QString increment =
            " : le PIC n'a pas renvoyé la commande de passage à l'adresse suivante";
        const QString attempts = " : la valeur relue diffère de la valeur écrite, à chaque essai";
        const QString jumpConfig =
            "Problème: accès à la zone de configuration (0x2000) impossible" + echo;
        const QString readConfig = "Problème: lecture de la zone de configuration impossible "
                                   "[0x2000]" +
                                   increment;
        const QString cancelled = "Opération annulée : le PIC n'a été traité que jusqu'à "
                                  "l'adresse [0x0000]";
        // The device ID read steps 8 times; then the code stage steps once a
        // word (1024 of them), the EEPROM stage once a byte.
        row("read, done", false, "16F84A", "", 0, S::Done, "Lecture du PIC terminée");
        row("read, port busy", false, "16F84A", "busy", 0, S::Open, opening);
        row("read, no chip", false, "16F84A", "absent", 0, S::Identify,
            "no chip, a 16F84 is chosen");
        row("read, jump to the configuration", false, "16F84A", "load configuration", 1,
            S::JumpConfig, jumpConfig);
        row("read, configuration", false, "16F84A", "increment", 3, S::ReadConfig, readConfig);
        row("read, program word", false, "16F84A", "increment", 8 + 0x1A3 + 1, S::ReadCode,
            "Problème: lecture de la mémoire programme [0x01A3]" + increment);
        row("read, EEPROM byte", false, "16F84A", "increment", 8 + 1024 + 0x15 + 1, S::ReadEeprom,
            "Problème: lecture de la mémoire EEPROM [0x0015]" + increment);
        row("read, cancelled", false, "16F84A", "cancel", 0, S::Cancelled, cancelled);
        row("write, done", true, "16F84A", "", 0, S::Done,
            "Programmation du PIC terminée et vérifiée");
        row("write, port busy", true, "16F84A", "busy", 0, S::Open, opening);
        row("write, no chip", true, "16F84A", "absent", 0, S::Identify, "no chip");
        row("write, jump to the configuration", true, "16F84A", "load configuration", 1,
            S::JumpConfig, jumpConfig);
        row("write, configuration", true, "16F84A", "increment", 3, S::ReadConfig, readConfig);
        row("write, factory calibration", true, "12F629", "increment", 9, S::Calibration,
            "Problème avec le calibrage d'usine du PIC [0x03FF]" + increment);
        row("write, program word", true, "16F84A", "refuse", 0x1A3, S::WriteCode,
            "Erreur de programmation de la mémoire programme [0x01A3]" + attempts);
        row("write, EEPROM byte", true, "16F84A", "refuse", 0x2100 + 0x15, S::WriteEeprom,
            "Erreur de programmation de la mémoire EEPROM [0x0015]" + attempts);
        // The configuration area is loaded once at the start, then for the IDs.
        row("write, jump to the IDs", true, "16F84A", "load configuration", 2, S::JumpUserId,
            "Problème: accès aux identifiants utilisateur impossible" + echo);
        row("write, user ID", true, "16F84A", "refuse", 0x2002, S::WriteUserId,
            "Erreur de programmation de l'identifiant utilisateur [0x2]" + attempts);
        row("write, configuration word", true, "16F84A", "refuse", 0x2007, S::WriteConfig,
            "Erreur de programmation du mot de configuration" + attempts);
        // The chip misses the code stage's first increment: word 1 lands in
        // cell 0, verified there, and the fresh read finds it.
        row("write, read back", true, "16F84A", "skip", 8 + 1, S::ReadBack,
            "read back 0x0000 0x0456 0x0123");
        row("write, cancelled", true, "16F84A", "cancel", 0, S::Cancelled, cancelled);
    }

    void everyFailureStageIsWorded()
    {
        QFETCH(bool, write);
        QFETCH(QString, chip);
        QFETCH(QString, fault);
        QFETCH(int, at);
        QFETCH(IcspResult::Stage, stage);
        QFETCH(QString, status);
        IcspRig rig(chip);
        CancelToken cancel;
        rig.programmer->attach(nullptr, &cancel);
        if (fault == "busy")
            rig.box->failOpens("busy");
        else if (fault == "absent")
            rig.pic.setPresent(false);
        else if (fault == "load configuration")
            rig.pic.loseCommand(IcspProgrammer::LoadConfiguration, at);
        else if (fault == "increment")
            rig.pic.loseIncrement(at);
        else if (fault == "skip")
            rig.pic.skipIncrement(at);
        else if (fault == "refuse")
            rig.pic.refuseWrites(at);
        else if (fault == "cancel")
            cancel.cancel();
        PicDevice device = IcspRig::deviceFor(chip);
        IcspRig::fillImage(device, 5, 0x3FF1);
        device.ImagePIC.setCodeWord(0, 0x0123);
        device.ImagePIC.setCodeWord(1, 0x0456);
        device.ImagePIC.setCodeWord(0x1A3, 0x1234);
        device.ImagePIC.ImageEEPROM[0x15] = 0x5A;
        device.ImagePIC.UserID[2 * 2] = 0x12;
        const IcspResult r = write ? WriteChip(*rig.programmer, device, 3)
                                   : ReadChip(*rig.programmer, device, "AUTO");
        QCOMPARE(r.stage, stage);
        QCOMPARE(write ? ProgrammerReports::writeStatus(r, "VEKP")
                       : ProgrammerReports::readStatus(r, "VEKP"),
                 status);
        // Every write checks the chip first: the tables' report words what
        // stopped it there as the write's does.
        if (write && stage == IcspResult::Stage::ReadConfig)
            QCOMPARE(ProgrammerReports::tableStatus(r, "L1 basse", "VEKP"), status);
    }

    void handLineTestsOnTheSerialBox()
    {
        IcspRig rig(QStringLiteral("16F84A"), {1, QStringLiteral("COM1"), 5, 3, 2, 10});
        IcspLineChecks lines(rig.clock, rig.box->opener());
        QCOMPARE(lines.open(rig.settings), QString());
        QVERIFY(lines.isOpen());
        QCOMPARE(lines.setLine(rig.settings, LineDATA, 1), QString());
        QVERIFY(rig.pic.dataLine());
        QCOMPARE(lines.setLine(rig.settings, LineDATA, 0), QString());
        QVERIFY(!rig.pic.dataLine());
        QCOMPARE(lines.setLine(rig.settings, LineMCLR, 1), QString());
        QVERIFY(rig.pic.inProgrammingMode()); // MCLR rose with CLOCK and DATA low
        lines.close();
        QVERIFY(!lines.isOpen());
        QVERIFY(!rig.pic.inProgrammingMode()); // lines put to rest

        // A port that ignores RTS and DTR: the line reads back low, so it is
        // not reported driven.
        rig.box->setOutputsIgnored(true);
        QCOMPARE(lines.open(rig.settings), QString());
        const QString low =
            QStringLiteral("le port la relit à 0 (cet adaptateur ne commande pas RTS/DTR)");
        QCOMPARE(lines.setLine(rig.settings, LineCLOCK, 1), low);
        QCOMPARE(lines.setLine(rig.settings, LineDATA, 1), low);
        QCOMPARE(lines.setLine(rig.settings, LineDATA, 0), QString());
        lines.close();
    }

    void handLineTestsOnTheParallelPins()
    {
        IcspRig rig(QStringLiteral("16F84A"), {1, QStringLiteral("LPT1"), 5, 3, 2, 10});
        IcspTexts texts;
        texts.badReadPin = QStringLiteral("pin {BROCHE} reads nothing");
        IcspLineChecks lines(rig.clock, rig.box->opener(), texts);
        QCOMPARE(lines.open(rig.settings), QString());
        QCOMPARE(lines.setLine(rig.settings, LineMCLR, 1), QString());
        QVERIFY(rig.box->dataRegister & 0x08); // pin 5: data bit 3
        lines.close();
        QCOMPARE(rig.box->dataRegister & 0x08, 0);
        // A wiring that does not fit the port is reported, not driven.
        rig.settings.ICSPPINDATAR = 3; // an output pin cannot return the data line
        QCOMPARE(lines.open(rig.settings), QString());
        QCOMPARE(lines.setLine(rig.settings, LineMCLR, 1), QString("pin 3 reads nothing"));
        lines.close();
    }

    void presenceTest()
    {
        IcspRig rig(QStringLiteral("16F84A"), {1, QStringLiteral("COM1"), 5, 3, 2, 10});
        IcspLineChecks lines(rig.clock, rig.box->opener(), {});
        NullProgressSink sink;
        CancelToken cancel;
        QVERIFY(lines.presenceTest(rig.settings, sink, cancel).succeeded());
        QVERIFY(!rig.pic.inProgrammingMode());
        rig.box->setLoopback(SimulatedProgrammerBox::Loopback::StuckHigh);
        const JobOutcome silent = lines.presenceTest(rig.settings, sink, cancel);
        QVERIFY(!silent.succeeded());
        QVERIFY(!silent.message.isEmpty());
        rig.box->failOpens(QStringLiteral("busy"));
        QVERIFY(lines.open(rig.settings).contains("busy"));
        QVERIFY(!lines.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestProgrammerOperations)
#include "tst_programmeroperations.moc"
