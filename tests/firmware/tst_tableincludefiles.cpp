#include "GeneratedTables.h"
#include "TestSupport.h"
#include "firmware/TableIncludeFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace TableIncludeFiles;

namespace {

using GeneratedTables::table;

QStringList wordsOf(const QByteArray &file)
{
    QStringList words;
    for (const QByteArray &line : file.split('\n'))
        if (!line.isEmpty())
            words << QString::fromLatin1(line.mid(20).trimmed()).split(',');
    return words;
}

} // namespace

class TestTableIncludeFiles : public QObject
{
    Q_OBJECT

private slots:
    void fileNamesTakeTheLineNumberBeforeTheExtension()
    {
        QCOMPARE(NomFichierLigne("LTAB.TXT", 0), QString("LTAB0.TXT"));
        QCOMPARE(NomFichierLigne("HTAB.TXT", 12), QString("HTAB12.TXT"));
        QCOMPARE(NomFichierLigne("LTAB16_.TXT", 1), QString("LTAB16_1.TXT"));
        QCOMPARE(NomFichierLigne("AB", 3), QString("AB3"));
    }

    void percentagesAreRoundedAndClamped()
    {
        QCOMPARE(PourcentageMap("50"), 50);
        QCOMPARE(PourcentageMap("12.5"), 12);
        QCOMPARE(PourcentageMap("13.5 %"), 14);
        QCOMPARE(PourcentageMap(""), 0);
        QCOMPARE(PourcentageMap("-20"), 0);
        QCOMPARE(PourcentageMap("250"), 100);
        QCOMPARE(PourcentageMap("1000000000"), 100);
    }

    void wordsMoveFromAtmosphericTowardBoost()
    {
        QCOMPARE(MelangeMot("3410", "3420", 50), QString("3418"));
        QCOMPARE(MelangeMot("3420", "3410", 25), QString("341C"));
        QCOMPARE(MelangeMot("3410", "3420", 0), QString("3410"));
        QCOMPARE(MelangeMot("3410", "3420", 100), QString("3420"));
        // 0x11 * 50 / 100 = 8.5 rounds to even.
        QCOMPARE(MelangeMot("3400", "3411", 50), QString("3408"));
        QCOMPARE(MelangeMot("0782", "0782", 70), QString("0782"));
        // Clamped percentages keep every word in the return-with-literal form.
        QCOMPARE(MelangeMot("3400", "34FF", PourcentageMap("400")), QString("34FF"));
        QCOMPARE(MelangeMot("34FF", "3400", PourcentageMap("-400")), QString("34FF"));
    }

    void fileHasSixtyFourLinesOfFourWords()
    {
        const QByteArray text = ContenuFichier(table(0x10), table(0x20), 0);
        QVERIFY(text.startsWith("         DW         0782,3411,3412,3413\r\n"));
        QCOMPARE(text.count("\r\n"), 64);
        QCOMPARE(text.count('\n'), 64);
        QVERIFY(text.endsWith("\r\n"));
        const QStringList words = wordsOf(text);
        QCOMPARE(words.size(), 256);
        QCOMPARE(words, table(0x10));
        QCOMPARE(wordsOf(ContenuFichier(table(0x10), table(0x20), 100)), table(0x20));
    }

    void exportWritesLowThenHighForEachLine()
    {
        QTemporaryDir dir(QDir::tempPath() + "/vek export XXXXXX");
        ExportRequest request{dir.path(), "LTAB.TXT",         "HTAB.TXT",
                              2,          {"0", "100", "50"}, GeneratedTables::lineTables()};
        const ExportResult result = Exporter(request);
        QVERIFY(result.ok());
        const QDir d(dir.path());
        QCOMPARE(result.written, (QStringList{d.filePath("LTAB0.TXT"), d.filePath("HTAB0.TXT"),
                                              d.filePath("LTAB1.TXT"), d.filePath("HTAB1.TXT")}));
        QCOMPARE(wordsOf(TestSupport::readFile(d.filePath("LTAB0.TXT"))),
                 GeneratedTables::lineTables().basseAtmo);
        QCOMPARE(wordsOf(TestSupport::readFile(d.filePath("HTAB0.TXT"))),
                 GeneratedTables::lineTables().hauteAtmo);
        QCOMPARE(wordsOf(TestSupport::readFile(d.filePath("LTAB1.TXT"))),
                 GeneratedTables::lineTables().basseBoost);
        QCOMPARE(wordsOf(TestSupport::readFile(d.filePath("HTAB1.TXT"))),
                 GeneratedTables::lineTables().hauteBoost);
        QVERIFY(!QFile::exists(d.filePath("LTAB2.TXT")));
    }

    // Refused before anything is written: a line count of no whole number of
    // 1 to 8 (one MAP percentage box each, eight shown), or tables not whole.
    void refusedBeforeWriting()
    {
        QCOMPARE(LignesCourbe(" 8 "), 8);
        QCOMPARE(LignesCourbe("1"), 1);
        for (const QString &refused :
             {QString(), QString("0"), QString("9"), QString("16"), QString("-3"), QString("2.0"),
              QString("2 courbes"), QString(400, '9')})
            QVERIFY2(!LignesCourbe(refused), qPrintable(refused));
        QTemporaryDir dir;
        const TablesExport whole = GeneratedTables::lineTables();
        TablesExport cut = whole;
        cut.basseBoost.removeLast();
        const QStringList nine(9, QStringLiteral("0"));
        using R = ExportResult;
        for (const auto &[lines, percents, tables, status] :
             {std::tuple{0, QStringList(), whole, R::LineCountRefused},
              {16, nine, whole, R::LineCountRefused},
              {9, nine, whole, R::LineCountRefused}, // a box for it, but eight are shown
              {1, QStringList{"0"}, cut, R::BadTables}}) {
            const ExportRequest request{dir.path(), "LTAB.TXT", "HTAB.TXT",
                                        lines,      percents,   tables};
            QCOMPARE(Exporter(request).status, status);
            QVERIFY(QDir(dir.path()).isEmpty());
        }
        QVERIFY(Exporter({dir.path(), "LTAB.TXT", "HTAB.TXT", 8, nine, whole}).ok());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 16);
    }

    void writeErrorsAreFailures()
    {
        QTemporaryDir dir;
        ExportRequest request{dir.path() + "/missing",      "LTAB.TXT", "HTAB.TXT", 1, {"0"},
                              GeneratedTables::lineTables()};
        ExportResult result = Exporter(request);
        QCOMPARE(result.status, ExportResult::WriteFailed);
        QVERIFY(result.failedPath.endsWith("LTAB0.TXT"));
        QVERIFY(!result.error.isEmpty());

        // The high file of line 0 cannot be written: a folder holds its name.
        QVERIFY(QDir(dir.path()).mkdir("HTAB0.TXT"));
        request.folder = dir.path();
        result = Exporter(request);
        QCOMPARE(result.status, ExportResult::WriteFailed);
        QCOMPARE(result.written, QStringList{QDir(dir.path()).filePath("LTAB0.TXT")});
        QVERIFY(result.failedPath.endsWith("HTAB0.TXT"));
    }
};

QTEST_GUILESS_MAIN(TestTableIncludeFiles)
#include "tst_tableincludefiles.moc"
