#include "ManualClock.h"
#include "ModuleSimulator.h"
#include "RecordingSink.h"
#include "ScriptedByteLink.h"
#include "TestSupport.h"
#include "base/JobRunner.h"
#include "bootloader/CompatibleFamilyUpload.h"
#include "platform/TtyByteLink.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(FamilyUploadEnd)

namespace {

// Far beyond the simulator's pauses, so that a slow machine never stops an
// upload; the limit itself is timed on the test clock.
constexpr qint64 TestByteLimitMs = 1000;

} // namespace

// The compatible-family upload against the simulated module, through a real
// pseudo-terminal at the module's 9600 baud.
class TestCompatibleFamilyUpload : public QObject
{
    Q_OBJECT

    // The simulated module started with `options`, and the program's end of its line.
    struct Module {
        ModuleSimulator sim;
        std::unique_ptr<TtyByteLink> link;
        bool start(const QStringList &options)
        {
            if (!sim.start(options))
                return false;
            link = TtyByteLink::open(sim.devicePath(), "9600,N,8,1").device;
            return link != nullptr;
        }
    };

private slots:
    void initTestCase() { TestSupport::useFrenchTexts(); }

    void wholeStreamGivesTablesTextsAndProgress()
    {
        Module module;
        const QString name = "VEK-MÉRT", text = "Courbe d'essai, 40 caractères exactement";
        QVERIFY(
            module.start({"--family", "--split", "--family-name", name, "--family-text", text}));
        CompatibleFamilyUpload upload(*module.link, TestByteLimitMs, FamilyUploadTexts::load());
        RecordingSink sink;
        QVERIFY(upload(sink, CancelToken{}).succeeded());
        const QList<RecordingSink::Bar> bars = sink.barsOn(1);

        QCOMPARE(upload.end(), FamilyUploadEnd::Complete);
        QCOMPARE(upload.received(), 512);
        const QStringList answer = module.sim.waitForLine("FAMILY ANSWER ").split(' ');
        const QByteArray sent = QByteArray::fromHex(answer.value(3).toLatin1());
        QCOMPARE(sent.size(), 512);
        const CompatibleFamilyTables &t = upload.tables();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(t.basse.data()), 256), sent.left(256));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(t.haute.data()), 256), sent.mid(256));
        QCOMPARE(t.texte8(), name); // Windows-1252 on the wire
        QCOMPARE(t.texte40(), text);

        // The bar climbs from 0 to 100, the low-table text up to 50 %, then the high one.
        QVERIFY(bars.size() > 20);
        QCOMPARE(bars.first().percent, 0.0);
        QCOMPARE(bars.last().percent, 100.0);
        for (int i = 1; i < bars.size(); ++i)
            QVERIFY(bars[i].percent >= bars[i - 1].percent);
        for (const RecordingSink::Bar &b : std::as_const(bars))
            QVERIFY(b.text.contains("basse") ? b.percent <= 50 : b.percent >= 50);
        QVERIFY(bars.last().text.contains("haute"));

        // Four "R" make one burst: one answer only, nothing more was sent.
        module.sim.command("stats");
        const QString stats = module.sim.waitForLine("STATS");
        QVERIFY2(stats.endsWith(" bytes=512"), qPrintable(stats));
        QCOMPARE(module.link->available(), 0);
        QCOMPARE(module.sim.lines().filter("FAMILY ANSWER").size(), 1);
    }

    void faultsEndWithTheirReason_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<FamilyUploadEnd>("end");
        QTest::addColumn<int>("received");
        QTest::newRow("wrong marker, high table not read")
            << QStringList{"--family-marker", "83"} << FamilyUploadEnd::WrongMarker << 2;
        QTest::newRow("short stream")
            << QStringList{"--family-length", "300"} << FamilyUploadEnd::ShortStream << 300;
        QTest::newRow("one byte") << QStringList{"--family-length", "1"}
                                  << FamilyUploadEnd::ShortStream << 1;
        QTest::newRow("silence") << QStringList{"--family-silent"} << FamilyUploadEnd::NoAnswer
                                 << 0;
        QTest::newRow("pause shorter than the limit")
            << QStringList{"--family-pause-ms", "150"} << FamilyUploadEnd::Complete << 512;
    }

    void faultsEndWithTheirReason()
    {
        QFETCH(QStringList, options);
        QFETCH(FamilyUploadEnd, end);
        QFETCH(int, received);
        Module module;
        QVERIFY(module.start(QStringList{"--family", "--split"} + options));
        CompatibleFamilyUpload upload(*module.link, TestByteLimitMs);
        NullProgressSink sink;
        const JobOutcome outcome = upload(sink, CancelToken{});
        QCOMPARE(upload.end(), end);
        QCOMPARE(upload.received(), received);
        const auto kind = end == FamilyUploadEnd::Complete    ? JobOutcome::Kind::Succeeded
                          : end == FamilyUploadEnd::Cancelled ? JobOutcome::Kind::Cancelled
                                                              : JobOutcome::Kind::Failed;
        QCOMPARE(outcome.kind, kind);
        if (end == FamilyUploadEnd::WrongMarker)
            QCOMPARE(upload.markerSeen(), uint8_t(0x83));
    }

    // On the test clock: a stop comes one limit (1000 ms) after the last byte,
    // within the 50 ms slices the wait is read in, and each silence shorter
    // than the limit is waited through.
    void byteLimitCountsFromTheLastByte_data()
    {
        QTest::addColumn<int>("firstMs"); // when the first byte comes
        QTest::addColumn<int>("length");  // bytes the module sends
        QTest::addColumn<int>("pauseMs"); // its silence after the low table
        QTest::addColumn<FamilyUploadEnd>("end");
        QTest::addColumn<int>("received");
        QTest::addColumn<int>("endMs");
        QTest::newRow("two silences shorter than the limit")
            << 900 << 512 << 900 << FamilyUploadEnd::Complete << 512 << 1800;
        QTest::newRow("a pause longer than the limit")
            << 0 << 512 << 1100 << FamilyUploadEnd::ShortStream << 256 << 1000;
        QTest::newRow("short stream")
            << 300 << 300 << 0 << FamilyUploadEnd::ShortStream << 300 << 1300;
        QTest::newRow("silence") << 0 << 0 << 0 << FamilyUploadEnd::NoAnswer << 0 << 1000;
    }

    void byteLimitCountsFromTheLastByte()
    {
        QFETCH(int, firstMs);
        QFETCH(int, length);
        QFETCH(int, pauseMs);
        QFETCH(FamilyUploadEnd, end);
        QFETCH(int, received);
        QFETCH(int, endMs);
        ManualClock clock;
        const qint64 start = clock.nowMs();
        ScriptedByteLink link(clock, [&](ScriptedByteLink &l, const QByteArray &) {
            if (l.writes.size() > 1)
                return; // one burst, one answer
            const QByteArray stream(length, char(0x82));
            if (length > 0)
                l.reply(stream.left(256), firstMs);
            if (length > 256)
                l.reply(stream.mid(256), firstMs + pauseMs);
        });
        CompatibleFamilyUpload upload(link);
        NullProgressSink sink;
        upload(sink, CancelToken{});
        QCOMPARE(upload.end(), end);
        QCOMPARE(upload.received(), received);
        const qint64 ended = clock.nowMs() - start;
        QVERIFY2(ended >= endMs && ended <= endMs + 50, qPrintable(QString::number(ended)));
    }

    // Run as the window runs it: a job on the runner, cancelled while the module is silent.
    void cancelEndsTheWaitAtOnce()
    {
        Module module;
        QVERIFY(module.start({"--family", "--family-silent"}));
        auto upload = std::make_shared<CompatibleFamilyUpload>(*module.link, 60000);
        JobRunner runner;
        QSignalSpy finished(&runner, &JobRunner::finished);
        QVERIFY(runner.start(
            [upload](ProgressSink &p, const CancelToken &c) { return (*upload)(p, c); }));
        // The module has the request (and answers none of it): the upload now
        // waits for the answer.
        QCOMPARE(module.sim.waitForLine("FAMILY ANSWER ").section(' ', 2, 2), QString("0"));
        QElapsedTimer timer;
        timer.start();
        runner.cancel();
        // Long before the minute's limit, however slow the machine.
        QVERIFY(finished.wait(10000));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(finished.first().first().value<JobOutcome>().kind, JobOutcome::Kind::Cancelled);
        QCOMPARE(upload->end(), FamilyUploadEnd::Cancelled);
    }

    void moduleGoneIsALinkFailure()
    {
        Module module;
        QVERIFY(module.start({"--family", "--family-silent"}));
        QVERIFY(module.sim.unplug());
        CompatibleFamilyUpload upload(*module.link, 2000);
        NullProgressSink sink;
        const JobOutcome outcome = upload(sink, CancelToken{});
        QCOMPARE(upload.end(), FamilyUploadEnd::LinkFailed);
        QVERIFY(!upload.linkFailure().error.isEmpty());
        QCOMPARE(upload.linkFailure().fault, DeviceFault::Gone); // worded as a device gone
        QCOMPARE(outcome.kind, JobOutcome::Kind::Failed);
    }

    // Leftovers of an earlier exchange are dropped before the four "R", each
    // written on its own; byte 0 is not checked.
    void requestIsFourSeparateR()
    {
        ManualClock clock;
        int discardsBeforeTheRequest = -1;
        ScriptedByteLink link(clock, [&](ScriptedByteLink &l, const QByteArray &) {
            if (l.writes.size() == 1)
                discardsBeforeTheRequest = l.discards;
            if (l.writes.size() == 4) {
                QByteArray answer(512, char(0x82));
                answer[0] = char(0x00);
                l.reply(answer);
            }
        });
        link.reply("left over");
        CompatibleFamilyUpload upload(link, TestByteLimitMs);
        NullProgressSink sink;
        QVERIFY(upload(sink, CancelToken{}).succeeded());
        QCOMPARE(discardsBeforeTheRequest, 1);
        QCOMPARE(link.discards, 1);
        QCOMPARE(link.writes, (QList<QByteArray>{"R", "R", "R", "R"}));
    }

    void percentagesRoundHalfToEven_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("high");
        for (auto [i, p, h] : {std::tuple{0, 0, false},
                               {64, 12, false},
                               {192, 38, false},
                               {255, 50, false},
                               {256, 50, true},
                               {320, 62, true},
                               {448, 88, true},
                               {511, 100, true}})
            QTest::addRow("%d", i) << i << p << h;
    }

    void percentagesRoundHalfToEven()
    {
        QFETCH(int, index);
        QFETCH(int, percent);
        QFETCH(bool, high);
        QCOMPARE(CompatibleFamilyUpload::progressPercent(index), percent);
        QCOMPARE(CompatibleFamilyUpload::progressText(index, FamilyUploadTexts::load())
                     .contains("haute"),
                 high);
    }
};

QTEST_GUILESS_MAIN(TestCompatibleFamilyUpload)
#include "tst_compatiblefamilyupload.moc"
