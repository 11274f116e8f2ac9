#include "TestSupport.h"
#include "app/AdvancePoint.h"
#include "app/TableImport.h"
#include "firmware/Interpolation.h"
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"
#include "firmware/TableIncludeFiles.h"

#include <QtTest>

#include <cmath>

using namespace TableImport;

namespace {

// Writes 256 words as an include file: 64 lines "         DW         " and four
// words separated by ",", each line ended by CR LF.
QString includeFile(const QStringList &words, const QString &eol = QStringLiteral("\r\n"),
                    bool lastEol = true)
{
    QString text;
    for (int m = 0; m < 64; ++m) {
        text += QStringLiteral("         DW         ") + words.mid(4 * m, 4).join(QLatin1Char(','));
        if (m < 63 || lastEol)
            text += eol;
    }
    return text;
}

// Answers the generators' questions: no truncation is expected here.
class NoQuestions : public TableGenerationPrompts
{
public:
    bool askTruncation(const QString &, const QString &) override
    {
        ++asked;
        return false;
    }
    void showError(const QString &, const QString &) override { ++asked; }
    int asked = 0;
};

QStringList filledWords(int count, const QString &filler = QStringLiteral("3400"))
{
    QStringList words{QStringLiteral("0782")};
    while (words.size() < count)
        words << filler;
    return words;
}

} // namespace

class TestTableImport : public QObject
{
    Q_OBJECT

private slots:
    // Word 100 changed: its item is numbered as written, 750000 / 100 = 7500 rpm
    // in the high table, 187500 / 100 = 1875 in the low one; the others keep
    // the static advance of 45.
    void itemsAreNumberedAsWritten_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("firstRpm");
        QTest::addColumn<int>("lastRpm");
        QTest::addColumn<int>("rpm");
        QTest::addColumn<double>("advance");
        // Words 75 to 250; 45 - 16 x 3 x 7500 / 50000 = 37.8.
        QTest::newRow("high") << TableKind::High << "3410" << 176 << 10000 << 3000 << 7500 << 37.8;
        // Words 63 to 255; 45 - 8 x 3 x 1875 / 12500 = 41.4.
        QTest::newRow("low") << TableKind::Low << "3408" << 193 << 2976 << 735 << 1875 << 41.4;
    }

    void itemsAreNumberedAsWritten()
    {
        QFETCH(TableKind, kind);
        QFETCH(QString, word);
        QFETCH(int, points);
        QFETCH(int, firstRpm);
        QFETCH(int, lastRpm);
        QFETCH(int, rpm);
        QFETCH(double, advance);
        QStringList words = filledWords(256);
        words[99] = word;
        const Result r = ParseTableFile(includeFile(words), kind, 45.0);
        QCOMPARE(r.status, Status::Ok);
        QCOMPARE(r.itemCount, 256);
        QCOMPARE(r.points.size(), points);
        QCOMPARE(r.points.first().rpm, firstRpm);
        QCOMPARE(r.points.last().rpm, lastRpm);
        int found = 0;
        for (const ImportedPoint &p : r.points) {
            found += p.rpm == rpm;
            QCOMPARE(p.atmo, p.rpm == rpm ? advance : 45.0);
        }
        QCOMPARE(found, 1);
    }

    void lineEndsAndLastLine_data()
    {
        QTest::addColumn<QString>("eol");
        QTest::addColumn<bool>("lastEol");
        QTest::newRow("CR LF") << QStringLiteral("\r\n") << true;
        QTest::newRow("CR LF, last line without") << QStringLiteral("\r\n") << false;
        QTest::newRow("LF") << QStringLiteral("\n") << true;
        QTest::newRow("LF, last line without") << QStringLiteral("\n") << false;
    }

    void lineEndsAndLastLine()
    {
        QFETCH(QString, eol);
        QFETCH(bool, lastEol);
        QStringList words = filledWords(256);
        words[249] = QStringLiteral("3401"); // last speed word, on the last line
        const Result r = ParseTableFile(includeFile(words, eol, lastEol), TableKind::High, 45.0);
        QCOMPARE(r.status, Status::Ok);
        QCOMPARE(r.itemCount, 256);
        QCOMPARE(r.points.size(), 176);
        QCOMPARE(r.points.last().rpm, 3000);
        QCOMPARE(r.points.last().atmo, 44.8); // 45 - 3 x 3000 / 50000 = 44.82
    }

    // The tables are written only as "DW" lines of four-digit words: anything
    // else in place of a word (a comment, a damaged word) refuses the file, at
    // its line and as written. Line 30 holds words 117 to 120.
    void damagedItemsRefuseTheFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("item");
        QStringList words = filledWords(256);
        words[117] = QStringLiteral("ZZ00");
        TestSupport::row("letters", includeFile(words), 30, QStringLiteral("ZZ00"));
        words[117] = QStringLiteral("3G00");
        TestSupport::row("one letter", includeFile(words), 30, QStringLiteral("3G00"));
        words[117] = QStringLiteral("341Z");
        TestSupport::row("last digit", includeFile(words), 30, QStringLiteral("341Z"));
        words[117] = QStringLiteral("3400;3401");
        TestSupport::row("other separator", includeFile(words), 30, QStringLiteral("3400;3401"));
        // Five digits are no table word, whatever their last two.
        words[117] = QStringLiteral("34000");
        TestSupport::row("five digits", includeFile(words), 30, QStringLiteral("34000"));
        words = filledWords(256);
        words[255] = QStringLiteral("340");
        TestSupport::row("short last word", includeFile(words), 64, QStringLiteral("340"));
        // Another directive is named alone, not glued to the word after it.
        QString other = includeFile(filledWords(256));
        other.replace(29 * 41 + 9, 2, QStringLiteral("DB"));
        TestSupport::row("other directive", other, 30, QStringLiteral("DB"));
        TestSupport::row("comment line",
                         QStringLiteral("; c\r\n\r\n") + includeFile(filledWords(252)), 1,
                         QStringLiteral("; c"));
    }

    void damagedItemsRefuseTheFile()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, item);
        const Result r = ParseTableFile(text, TableKind::Low, 45.0);
        QCOMPARE(r.status, Status::DamagedItem);
        QCOMPARE(r.damagedLine, line);
        QCOMPARE(r.damagedItem, item);
        QVERIFY(r.points.isEmpty());
    }

    void lowerCaseDigitsAreHexadecimal()
    {
        QStringList words = filledWords(256);
        words[99] = QStringLiteral("34a0"); // 0xA0 gives a negative advance
        const Result r = ParseTableFile(includeFile(words), TableKind::High, 50.0);
        QCOMPARE(r.status, Status::PointOutOfRange);
        QCOMPARE(r.badRpm, 7500.0);
        QCOMPARE(r.badAdvance, -22.0); // 50 - 160 x 3 x 7500 / 50000
        // A "," may end a line, as it may end a word.
        words[99] = QStringLiteral("3401");
        QString text = includeFile(words);
        text.replace(QStringLiteral("\r\n"), QStringLiteral(",\r\n"));
        const Result ok = ParseTableFile(text, TableKind::High, 50.0);
        QCOMPARE(ok.status, Status::Ok);
        QCOMPARE(ok.itemCount, 256);
        // So is the directive in lower case.
        text.replace(QStringLiteral("DW"), QStringLiteral("dw"));
        QCOMPARE(ParseTableFile(text, TableKind::High, 50.0).status, Status::Ok);
    }

    void tooManyItemsAreRefused()
    {
        QString text =
            includeFile(filledWords(256)) + QStringLiteral("         DW         3400\r\n");
        const Result r = ParseTableFile(text, TableKind::High, 45.0);
        QCOMPARE(r.status, Status::TooManyItems);
        QVERIFY(r.points.isEmpty());
    }

    void pointsOutsideTheCurveRangeAreRefused()
    {
        // A static advance below the advances the table holds gives negative points.
        QStringList words = filledWords(256);
        words[199] = QStringLiteral("3480"); // 3750 rpm: 10 - 128 x 3 x 3750 / 50000 = -18.8
        const Result r = ParseTableFile(includeFile(words), TableKind::High, 10.0);
        QCOMPARE(r.status, Status::PointOutOfRange);
        QCOMPARE(r.badItem, 200);
        QCOMPARE(r.badRpm, 3750.0);
        QCOMPARE(r.badAdvance, -18.8);
        QCOMPARE(r.refusedPoints, 1);
        QVERIFY(r.points.isEmpty());
        // So is a static advance above the curve's limit with a zero delay.
        QCOMPARE(ParseTableFile(includeFile(filledWords(256)), TableKind::High, 60.0).status,
                 Status::PointOutOfRange);
    }

    // A file of fewer words than a table would put its words in the wrong place.
    void filesShortOfATableAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("items");
        const QString whole = includeFile(filledWords(256));
        TestSupport::row("empty", QString(), 0);
        TestSupport::row("blank lines", QStringLiteral("\r\n  \r\n"), 0);
        TestSupport::row("low table of 32 lines", whole.left(32 * 41), 128);
        QString shortLine = whole;
        shortLine.remove(9 * 41 + 34, 5); // line 10: three words
        TestSupport::row("a line of three words", shortLine, 255);
    }

    void filesShortOfATableAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(int, items);
        const Result r = ParseTableFile(text, TableKind::Low, 45.0);
        QCOMPARE(r.status, Status::TooFewItems);
        QCOMPARE(r.itemCount, items);
        QVERIFY(r.points.isEmpty());
    }

    void exportThenImportGivesBackTheCurve()
    {
        // The program's own generators build the tables of a realistic curve;
        // they are written as the export writes them and read back.
        const AdvanceCurve curve{{800, 8, 8},    {1200, 12, 10}, {2000, 20, 14}, {3000, 28, 18},
                                 {4000, 32, 22}, {5000, 34, 24}, {6500, 35, 24}, {8000, 35.5, 24}};
        const CurveGridSnapshot grid = AdvanceCurveMath::ToGridSnapshot(curve);
        TableHeaderSnapshot header;
        header.Txt_rpm_maxi = QStringLiteral("6650");
        header.CmbAvanceBasRegime = QStringLiteral("11.0");
        header.Txt_av_statique = QStringLiteral("45.0");
        header.TxtDwell = QStringLiteral("2.5");
        header.TxtDureeRetardCliquetis = QStringLiteral("10");
        NoQuestions prompts;
        TableGenerator generator(header, prompts);
        FirmwareTable high;
        FirmwareTable low;
        const double staticAdvance = 45.0;
        QCOMPARE(generator.GenereHTAB8(high, grid, staticAdvance, 1), int16_t(0));
        QCOMPARE(generator.GenereLTAB8(low, grid, staticAdvance, 1), int16_t(0));
        QCOMPARE(prompts.asked, 0);
        // The include files as the assembly window's export writes them (no MAP mix).
        const auto exported = [](const FirmwareTable &table) {
            const QStringList words(table.begin() + 1, table.end());
            return QString::fromLatin1(TableIncludeFiles::ContenuFichier(words, words, 0));
        };

        const Result h = ParseTableFile(exported(high), TableKind::High, staticAdvance);
        const Result l = ParseTableFile(exported(low), TableKind::Low, staticAdvance);
        QCOMPARE(h.status, Status::Ok);
        QCOMPARE(l.status, Status::Ok);
        const QList<ImportedPoint> all = MergeTables(h.points, l.points);
        QCOMPARE(all.size(), 176 + 193);
        for (qsizetype i = 1; i < all.size(); ++i)
            QVERIFY(all.at(i - 1).rpm <= all.at(i).rpm);
        for (const ImportedPoint &p : all) {
            // One delay step is 3 x rpm / K2 degrees; the import keeps tenths and
            // whole rpm.
            const double step = 3.0 * p.rpm / (p.rpm >= 3000 ? 50000 : 12500);
            const double expected = *InterpoleGrille(grid, p.rpm, 1);
            QVERIFY2(std::abs(p.atmo - expected) <= step / 2 + 0.05 + 0.01,
                     qPrintable(
                         QStringLiteral("%1 rpm: %2 for %3").arg(p.rpm).arg(p.atmo).arg(expected)));
        }
    }

    void advanceText()
    {
        QCOMPARE(AdvanceText(45.0), QStringLiteral("45"));
        QCOMPARE(AdvanceText(37.8), QStringLiteral("37.8"));
        QCOMPARE(AdvanceText(-0.0), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestTableImport)
#include "tst_tableimport.moc"
