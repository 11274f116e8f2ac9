#include "TestSupport.h"
#include "base/FileWriter.h"
#include "base/VEK_LANGUAGE.h"
#include "firmware/AssemblerOutputs.h"
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
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void argumentsAreCaseInsensitiveAndKeepThePathWhole()
    {
        const QStringList args =
            AssemblerRun::arguments("/a folder/my project.asm", "/w/my project.hex");
        QCOMPARE(args, (QStringList{"--ignore-case", "-I", "/a folder", "-o", "/w/my project.hex",
                                    "/a folder/my project.asm"}));
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
        // The listing that says where comes beside the source; no HEX file is made.
        QVERIFY(TestSupport::readFile(dir.filePath("bad.lst")).contains("frobnicate"));
        QVERIFY(!QFile::exists(dir.filePath("bad.hex")));
        QCOMPARE(result.written, QStringList({dir.filePath("bad.lst"), dir.filePath("bad.cod")}));
    }

    // gpasm's outputs cut short, as a full disk leaves them, are told apart from
    // whole ones: the listing by its closing count, the symbol file by the
    // blocks its directory names, the HEX file by the program's reader.
    void cutOutputsAreRefused()
    {
        QTemporaryDir dir;
        QByteArray source = "        list p=16F84A\n        org 0\n";
        for (int i = 0; i < 600; ++i)
            source += "        nop\n";
        QVERIFY(TestSupport::writeFile(dir.filePath("p.asm"), source + "        end\n"));
        AssemblerRun assembler;
        const AssemblerResult result = run(assembler, dir.filePath("p.asm"));
        QCOMPARE(result.status, AssemblerResult::Succeeded);
        QCOMPARE(result.written, QStringList({dir.filePath("p.lst"), dir.filePath("p.cod"),
                                              dir.filePath("p.hex")}));
        const QByteArray lst = TestSupport::readFile(dir.filePath("p.lst"));
        const QByteArray cod = TestSupport::readFile(dir.filePath("p.cod"));
        QVERIFY(cod.size() > 1024 && cod.size() % 512 == 0);
        QVERIFY(AssemblerOutputs::ListingProblem(lst, "p.lst").isEmpty());
        QVERIFY(AssemblerOutputs::SymbolFileProblem(cod, "p.cod").isEmpty());
        QVERIFY(AssemblerOutputs::HexProblem(dir.filePath("p.hex"), "p.hex").isEmpty());

        const QString listingCut = "La liste p.lst produite par l'assembleur s'arrête avant son "
                                   "bilan des erreurs : elle est incomplète.";
        QCOMPARE(AssemblerOutputs::ListingProblem(lst.left(4096), "p.lst"), listingCut);
        QCOMPARE(AssemblerOutputs::ListingProblem({}, "p.lst"), listingCut);
        const auto codCut = [](qsizetype bytes) {
            return QString("Le fichier p.cod produit par l'assembleur s'arrête à %1 octets, avant "
                           "des blocs que son répertoire annonce : il est incomplet.")
                .arg(bytes);
        };
        for (const qsizetype cut : {qsizetype(0), qsizetype(512), cod.size() - 512, cod.size() - 1})
            QCOMPARE(AssemblerOutputs::SymbolFileProblem(cod.left(cut), "p.cod"), codCut(cut));
        const QByteArray hex = TestSupport::readFile(dir.filePath("p.hex"));
        QVERIFY(TestSupport::writeFile(dir.filePath("cut.hex"), hex.left(hex.size() / 2)));
        const QString hexCut = AssemblerOutputs::HexProblem(dir.filePath("cut.hex"), "p.hex");
        QVERIFY2(hexCut.contains("p.hex") && !hexCut.contains("cut.hex"), qPrintable(hexCut));
    }

    // A HEX file that the disk gives back otherwise never takes the older one's place.
    void aHexFileReadBackOtherwiseKeepsTheOlderOne()
    {
        QTemporaryDir dir;
        QVERIFY(TestSupport::writeFile(dir.filePath("p.asm"),
                                       "        list p=16F84A\n        org 0\n        nop\n"
                                       "        end\n"));
        const QByteArray older = ":00000001FF\r\n";
        QVERIFY(TestSupport::writeFile(dir.filePath("p.hex"), older));
        FileWriter::SetReadBackTamper([](FileWriter::Kind kind, const QString &written) {
            if (kind == FileWriter::Kind::Hex)
                QVERIFY(TestSupport::writeFile(written, ":0400000001"));
        });
        AssemblerRun assembler;
        const AssemblerResult result = run(assembler, dir.filePath("p.asm"));
        FileWriter::SetReadBackTamper({});
        QCOMPARE(result.status, AssemblerResult::OutputsNotPut);
        QCOMPARE(result.outputProblem, "Le fichier " + dir.filePath("p.hex") +
                                           " n'a pas pu être écrit : relu, il ne donne pas ce qui "
                                           "devait être écrit.");
        QCOMPARE(result.written, QStringList({dir.filePath("p.lst"), dir.filePath("p.cod")}));
        QCOMPARE(TestSupport::readFile(dir.filePath("p.hex")), older);
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
