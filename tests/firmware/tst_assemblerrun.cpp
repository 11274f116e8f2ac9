#include "TestSupport.h"
#include "firmware/AssemblerRun.h"

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
