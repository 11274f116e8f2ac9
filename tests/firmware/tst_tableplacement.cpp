#include "GeneratedTables.h"
#include "TestSupport.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/TablePlacement.h"
#include "icsp/PicDevice.h"

#include <QtTest>

using namespace TablePlacement;
using GeneratedTables::table;
using TestSupport::row;

// Where the tables go: the checks made before the image is touched, and the
// blending by each line's MAP percentage.
class TestTablePlacement : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { VEK_LANGUAGE::InitLanguage(); }
    void requestsRefusedBeforeAnythingIsTouched_data();
    void requestsRefusedBeforeAnythingIsTouched();
    void refusedAreasSayWhichRuleTheyBreak_data();
    void refusedAreasSayWhichRuleTheyBreak();
    void tableAreasNameEveryFaultOnce_data();
    void tableAreasNameEveryFaultOnce();
    void percentagesAreNumbersFrom0To100_data();
    void percentagesAreNumbersFrom0To100();
    void linesFollowEachOtherBlendedByTheirPercentage();
    void wordsLeavingTheRetlwFormAreRefused();
};

namespace {

// No chip chosen: the areas are held to the image's 16384 words.
const PicDevice noChip;

Request request()
{
    Request r;
    r.TypeCompilation = 8;
    r.ICSPNbTables = "2";
    r.LTAB = "300";
    r.HTAB = "500";
    r.tbMapAdj = {"0", "100", "50", "25", "", "", "", "", ""};
    return r;
}

} // namespace

void TestTablePlacement::requestsRefusedBeforeAnythingIsTouched_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("says");
    QTest::newRow("type 16") << "type"
                             << "16" << VEK_LANGUAGE::GetLanguageText("MSGBAsm1");
    QTest::newRow("type 5") << "type"
                            << "5" << VEK_LANGUAGE::GetLanguageText("MSGBAsm1");
    row("no line", QString("lines"), QString("0"), QString("\"0\""));
    // One MAP percentage box per line: eight at most.
    row("nine lines", QString("lines"), QString("9"), QString("\"9\" doit être de 1 à 8"));
    row("sixteen lines", QString("lines"), QString("16"), QString("\"16\" doit être de 1 à 8"));
    row("lines not a number", QString("lines"), QString("deux"), QString("\"deux\""));
    // Two lines: 512 words from each address.
    row("low table inside a block", QString("low"), QString("304"),
        QString("Les tables basses [0x0304-0x0503] ne sont pas faites de blocs entiers de 8 mots "
                "(adresse multiple de 8)."));
    row("high table past the image", QString("high"), QString("3F00"),
        QString("Les tables hautes [0x3F00-0x40FF] dépassent la mémoire de programme de 16384 mots "
                "(0x0000-0x3FFF).\nRien n'est envoyé."));
    // Past 0xFFFF: the real area, with both rules it breaks, and what follows once.
    row("low table at FFFF", QString("low"), QString("FFFF"),
        QString("Les tables basses [0xFFFF-0x101FE] ne sont pas faites de blocs entiers de 8 mots "
                "(adresse multiple de 8).\nLes tables basses [0xFFFF-0x101FE] dépassent la "
                "mémoire de programme de 16384 mots (0x0000-0x3FFF).\nRien n'est envoyé."));
    QTest::newRow("address not hexadecimal")
        << "low"
        << "&H300" << VEK_LANGUAGE::GetLanguageText("IcspSetupBadTable", {"%1", "&H300"});
    row("areas overlap", QString("high"), QString("400"), QString("0400"));
    row("percentage not a number", QString("pct"), QString("abc"), QString("\"abc\""));
    row("percentage above 100", QString("pct"), QString("150"), QString("\"150\""));
    row("percentage below 0", QString("pct"), QString("-5"), QString("\"-5\""));
}

void TestTablePlacement::requestsRefusedBeforeAnythingIsTouched()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, says);
    Request r = request();
    if (field == "type")
        r.TypeCompilation = int16_t(value.toInt());
    else if (field == "lines")
        r.ICSPNbTables = value;
    else if (field == "low")
        r.LTAB = value;
    else if (field == "high")
        r.HTAB = value;
    else
        r.tbMapAdj[1] = value;
    const Checked checked = Verifier(r, noChip);
    QVERIFY(!checked.plan);
    QVERIFY(!checked.refusal.text.isEmpty());
    QVERIFY2(checked.refusal.text.contains(says), qPrintable(checked.refusal.text));
    QVERIFY(Verifier(request(), noChip).plan); // the unchanged request passes
}

// Each rule an area can break has its own text, naming the area.
void TestTablePlacement::refusedAreasSayWhichRuleTheyBreak_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("words");
    QTest::addColumn<QString>("says");
    // Two tables of 256 words on a chip of 1024 words, 0x0000 to 0x03FF.
    QTest::newRow("whole blocks past a 16F84")
        << 0x300 << 0x500 << 1024 << "memory 0300-04FF of 1024 to 03FF";
    QTest::newRow("start inside a block") << 0x304 << 0x400 << 1024 << "blocks 0304-03FF";
    QTest::newRow("end inside a block") << 0x300 << 0x3FC << 1024 << "blocks 0300-03FB";
    QTest::newRow("both") << 0x3F4 << 0x4F4 << 1024
                          << "blocks 03F4-04F3\nmemory 03F4-04F3 of 1024 to 03FF";
    // An end past 0xFFFF keeps its digits.
    QTest::newRow("end past 0xFFFF")
        << 0xFFF8 << 0x10008 << 1024 << "memory FFF8-10007 of 1024 to 03FF";
    QTest::newRow("empty") << 0x300 << 0x300 << 1024 << "empty 0300";
    QTest::newRow("fits") << 0x300 << 0x400 << 1024 << "";
}

// Tables past the chip that also overlap: every fault named, the low and the
// high tables told apart, each sentence once, what follows once at the end.
void TestTablePlacement::tableAreasNameEveryFaultOnce_data()
{
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("high");
    QTest::addColumn<int>("use");
    QTest::addColumn<QString>("says");
    const QString past = "Les tables %1 [0x%2-0x%3] dépassent la mémoire de programme de 1024 "
                         "mots (0x0000-0x03FF).";
    const QString overlap = "Les tables basses [0x%1-0x%2] et hautes [0x%3-0x%4] se chevauchent.";
    row("past the chip and overlapping", QString("300"), QString("380"), int(AreasFor::Transfer),
        QStringList{past.arg("basses", "0300", "04FF"), past.arg("hautes", "0380", "057F"),
                    overlap.arg("0300", "04FF", "0380", "057F"), "Rien n'est envoyé."}
            .join('\n'));
    row("one address for both, in the set-up", QString("380"), QString("380"), int(AreasFor::Setup),
        QStringList{past.arg("basses", "0380", "057F"), past.arg("hautes", "0380", "057F"),
                    overlap.arg("0380", "057F", "0380", "057F"), "Ces réglages ne sont pas pris."}
            .join('\n'));
    row("overlapping within the chip", QString("000"), QString("100"), int(AreasFor::Transfer),
        overlap.arg("0000", "01FF", "0100", "02FF") + "\nRien n'est envoyé.");
    row("fitting", QString("000"), QString("200"), int(AreasFor::Transfer), QString());
}

void TestTablePlacement::tableAreasNameEveryFaultOnce()
{
    QFETCH(QString, low);
    QFETCH(QString, high);
    QFETCH(int, use);
    QFETCH(QString, says);
    VEK_LANGUAGE::SetFichierLangue("francais.ini");
    PicDevice chip;
    chip.DeviceChip = "16F84";
    chip.DevicePgmSize = 1024;
    Request r = request();
    r.LTAB = low;
    r.HTAB = high;
    const TableAreas areas = ZonesTables(r, chip, AreasFor(use));
    QCOMPARE(areas.refusal.text, says);
    QCOMPARE(areas.lowHigh.has_value(), says.isEmpty());
}

void TestTablePlacement::refusedAreasSayWhichRuleTheyBreak()
{
    QFETCH(int, first);
    QFETCH(int, end);
    QFETCH(int, words);
    QFETCH(QString, says);
    const ZoneTexts texts{"empty {DEBUT}", "blocks {DEBUT}-{FIN}",
                          "memory {DEBUT}-{FIN} of {MOTS} to {DERNIER}"};
    QCOMPARE(ZoneRefuseeTexte(texts, WordRange{first, end}, words), says);
    QCOMPARE(WordRange({first, end}).fitsBlocks(words), says.isEmpty());
}

void TestTablePlacement::percentagesAreNumbersFrom0To100_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pct");
    QTest::newRow("blank around") << " 50 " << 50;
    QTest::newRow("comma") << "12,5" << 12;
    QTest::newRow("half to even") << "37.5" << 38;
    QTest::newRow("hundred") << "100" << 100;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("trailing text") << "50%" << -1;
    QTest::newRow("exponent") << "1e2" << -1;
    QTest::newRow("thousands") << "1.000,5" << -1;
    QTest::newRow("just above") << "100.1" << -1;
}

void TestTablePlacement::percentagesAreNumbersFrom0To100()
{
    QFETCH(QString, text);
    QFETCH(int, pct);
    QCOMPARE(PourcentageStrict(text).value_or(-1), pct);
}

void TestTablePlacement::linesFollowEachOtherBlendedByTheirPercentage()
{
    const Checked checked = Verifier(request(), noChip);
    QVERIFY(checked.plan);
    const Plan &plan = *checked.plan;
    QCOMPARE(plan.low, (WordRange{0x300, 0x500}));
    QCOMPARE(plan.high, (WordRange{0x500, 0x700}));
    TableIncludeFiles::TablesExport t{table(0x60), table(0x10), table(0x70), table(0x20)};
    PicImage image;
    QVERIFY(!Placer(plan, t, image));
    // Line 0 at 0 %: the atmospheric tables; line 1 at 100 %: the boost tables, 256 further.
    QCOMPARE(image.codeWord(0x300), uint16_t(0x0782));
    QCOMPARE(image.codeWord(0x301), uint16_t(0x3411));
    QCOMPARE(image.codeWord(0x401), uint16_t(0x3421));
    QCOMPARE(image.codeWord(0x501), uint16_t(0x3461));
    QCOMPARE(image.codeWord(0x601), uint16_t(0x3471));
    QCOMPARE(image.codeWord(0x6FF), uint16_t(0x346F));
    QCOMPARE(image.codeWord(0x700), uint16_t(0));

    // 50 % between 0x3410 and 0x3420, either way round, gives 0x3418.
    Request half = request();
    half.ICSPNbTables = "1";
    half.tbMapAdj[0] = "50";
    const Plan p50 = *Verifier(half, noChip).plan;
    TableIncludeFiles::TablesExport u{table(0x1F), table(0x0F), table(0x0F), table(0x1F)};
    QVERIFY(!Placer(p50, u, image));
    QCOMPARE(image.codeWord(0x301), uint16_t(0x3418));
    QCOMPARE(image.codeWord(0x501), uint16_t(0x3418));
}

void TestTablePlacement::wordsLeavingTheRetlwFormAreRefused()
{
    const Plan plan = *Verifier(request(), noChip).plan;
    TableIncludeFiles::TablesExport t{table(0x60), table(0x10), table(0x70), table(0x20)};
    t.basseBoost[200] = "3520";
    PicImage image;
    const PicImage before = image;
    const std::optional<Refusal> refused = Placer(plan, t, image);
    QVERIFY(refused);
    QVERIFY2(refused->text.contains("201"), qPrintable(refused->text));
    QVERIFY(image.ImageCode == before.ImageCode); // nothing placed
    t.basseBoost[200] = "3420";
    t.hauteAtmo = t.hauteAtmo.mid(0, 255); // a table cut short
    QVERIFY(Placer(plan, t, image));
    QVERIFY(image.ImageCode == before.ImageCode);
}

QTEST_GUILESS_MAIN(TestTablePlacement)
#include "tst_tableplacement.moc"
