#include "TestSupport.h"
#include "firmware/AssemblerRun.h"
#include "firmware/TableIncludeFiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

AssemblerResult run(AssemblerRun &assembler, const QString &project)
{
    QSignalSpy spy(&assembler, &AssemblerRun::finished);
    if (!assembler.start(project) || !spy.wait(60000))
        return {};
    return spy.at(0).at(0).value<AssemblerResult>();
}

// Program words of an Intel HEX file by word address (byte address / 2).
QMap<int, int> hexWords(const QString &path)
{
    QMap<int, int> words;
    int upper = 0;
    for (const QByteArray &raw : TestSupport::readFile(path).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith(':'))
            continue;
        const QByteArray bytes = QByteArray::fromHex(line.mid(1));
        const int count = quint8(bytes[0]);
        const int address = (quint8(bytes[1]) << 8 | quint8(bytes[2])) + upper;
        if (bytes[3] == 4)
            upper = (quint8(bytes[4]) << 8 | quint8(bytes[5])) << 16;
        if (bytes[3] != 0)
            continue;
        for (int i = 0; i + 1 < count; i += 2)
            words[(address + i) / 2] = quint8(bytes[4 + i]) | quint8(bytes[5 + i]) << 8;
    }
    return words;
}

} // namespace

class TestAssemblerRun : public QObject
{
    Q_OBJECT

private slots:
    void argumentsAreCaseInsensitiveAndKeepThePathWhole()
    {
        const QStringList args = AssemblerRun::arguments("/a folder/my project.asm");
        QCOMPARE(args, (QStringList{"--ignore-case", "/a folder/my project.asm"}));
    }

    void errorLinesAreTheAssemblersErrors()
    {
        const QString out = "p.asm:2:Warning[202] Argument out of range.\n"
                            "p.asm:3:Error[181]   Unknown opcode: \"foo\"\r\n"
                            "p.asm:4:Message[302] Register in operand not in bank 0.\n";
        QCOMPARE(AssemblerRun::errorLines(out, true),
                 QStringList{"p.asm:3:Error[181]   Unknown opcode: \"foo\""});
        // A failure without tagged lines (a source it cannot open) keeps what it printed.
        QCOMPARE(AssemblerRun::errorLines("x.asm: No such file or directory\n", true),
                 QStringList{"x.asm: No such file or directory"});
        QVERIFY(AssemblerRun::errorLines("p.asm:2:Warning[202] range\n", false).isEmpty());
    }

    void exportedTablesAssembleAtTheSourcesAddresses()
    {
        QTemporaryDir dir(QDir::tempPath() + "/vek asm XXXXXX");
        QVERIFY(QFile::copy(TestSupport::testSourceDirectory() + "/firmware/asm/tables_test.asm",
                            dir.filePath("tables test.asm")));
        TableIncludeFiles::TablesExport tables;
        for (QStringList *t :
             {&tables.hauteAtmo, &tables.basseAtmo, &tables.hauteBoost, &tables.basseBoost}) {
            *t << "0782";
            for (int i = 1; i < 256; ++i)
                *t << QString("34%1").arg((i * 7 + t->size()) & 0xFF, 2, 16, QChar('0')).toUpper();
        }
        const TableIncludeFiles::ExportRequest request{dir.path(), "LTAB.TXT",   "HTAB.TXT",
                                                       2,          {"0", "100"}, tables};
        QVERIFY(TableIncludeFiles::Exporter(request).ok());

        AssemblerRun assembler;
        const AssemblerResult result = run(assembler, dir.filePath("tables test.asm"));
        QCOMPARE(result.status, AssemblerResult::Succeeded);
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.errorLines.isEmpty());
        QCOMPARE(result.hexFile, dir.filePath("tables test.hex"));
        const QMap<int, int> words = hexWords(result.hexFile);
        for (int i = 0; i < 256; ++i) {
            QCOMPARE(words.value(0x300 + i, -1), tables.basseAtmo[i].toInt(nullptr, 16));
            QCOMPARE(words.value(0x500 + i, -1), tables.hauteAtmo[i].toInt(nullptr, 16));
            QCOMPARE(words.value(0x700 + i, -1), tables.basseBoost[i].toInt(nullptr, 16));
            QCOMPARE(words.value(0x900 + i, -1), tables.hauteBoost[i].toInt(nullptr, 16));
        }
    }

    void errorsAreReportedWithTheirLines()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::writeFile(dir.filePath("bad.asm"),
                                       "        list p=16F84A\n"
                                       "Start   goto START\n" // case-insensitive: fine
                                       "        frobnicate 3\n"
                                       "        end\n"));
        AssemblerRun assembler;
        const AssemblerResult result = run(assembler, dir.filePath("bad.asm"));
        QCOMPARE(result.status, AssemblerResult::Failed);
        QVERIFY(result.exitCode != 0);
        QCOMPARE(result.errorLines.size(), 1);
        QVERIFY2(result.errorLines[0].contains("bad.asm:3:Error["), qPrintable(result.output));
    }

    void missingAssemblerOrProjectIsReported()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::writeFile(dir.filePath("p.asm"), "  end\n"));
        AssemblerRun assembler;
        assembler.setProgram("vek-no-such-assembler");
        QCOMPARE(run(assembler, dir.filePath("p.asm")).status, AssemblerResult::NotInstalled);
        assembler.setProgram(dir.filePath("missing/gpasm"));
        QCOMPARE(run(assembler, dir.filePath("p.asm")).status, AssemblerResult::NotInstalled);
        assembler.setProgram("gpasm");
        QCOMPARE(run(assembler, dir.filePath("none.asm")).status, AssemblerResult::NoProject);
        QCOMPARE(run(assembler, "").status, AssemblerResult::NoProject);
        QCOMPARE(AssemblerRun::packageName(), QString("gputils"));
    }
};

QTEST_GUILESS_MAIN(TestAssemblerRun)
#include "tst_assemblerrun.moc"
