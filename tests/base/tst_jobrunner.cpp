#include "TestSupport.h"
#include "base/JobRunner.h"

#include <QSignalSpy>
#include <QtTest>

#include <stdexcept>
#include <thread>

class TestJobRunner : public QObject
{
    Q_OBJECT
private slots:
    void progressArrivesInOrderOnTheOwnerThread();
    void cancelStopsAtTheNextCheck();
    void failuresAreReported_data();
    void failuresAreReported();
    void destroyingWhileRunningCancelsAndJoins();
    void waitDeliversTheEndAtOnce();
};

void TestJobRunner::progressArrivesInOrderOnTheOwnerThread()
{
    JobRunner runner;
    QList<double> seen;
    QStringList statuses;
    bool onOwnerThread = true;
    connect(&runner, &JobRunner::progress, this, [&](int bar, double percent, const QString &) {
        onOwnerThread = onOwnerThread && QThread::currentThread() == thread();
        if (bar == 1)
            seen << percent;
    });
    connect(&runner, &JobRunner::status, this, [&](const QString &s) { statuses << s; });
    QSignalSpy finished(&runner, &JobRunner::finished);
    QVERIFY(runner.start([](ProgressSink &sink, const CancelToken &) {
        for (int i = 0; i <= 1000; ++i)
            sink.setBar(1, i / 10.0, {});
        sink.setStatus("done");
        return JobOutcome::success("ok");
    }));
    QVERIFY(runner.isRunning());
    QVERIFY(!runner.start([](ProgressSink &, const CancelToken &) { return JobOutcome{}; }));
    QVERIFY(finished.wait(5000));
    QVERIFY(!runner.isRunning());
    QCOMPARE(seen.size(), 1001);
    QVERIFY(std::is_sorted(seen.begin(), seen.end()));
    QVERIFY(onOwnerThread);
    QCOMPARE(statuses, QStringList{"done"});
    QCOMPARE(finished.first().first().value<JobOutcome>().message, QString("ok"));
    // The runner takes the next job once the outcome is in.
    QVERIFY(runner.start([](ProgressSink &, const CancelToken &) { return JobOutcome{}; }));
    QVERIFY(finished.wait(5000));
}

void TestJobRunner::cancelStopsAtTheNextCheck()
{
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    std::atomic<int> steps = 0;
    runner.start([&](ProgressSink &, const CancelToken &cancel) {
        while (!cancel.cancelled()) {
            ++steps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return JobOutcome::cancelled("stopped at step " + QString::number(steps));
    });
    QTRY_VERIFY(steps > 3);
    runner.cancel();
    QVERIFY(finished.wait(5000));
    const auto outcome = finished.first().first().value<JobOutcome>();
    QCOMPARE(outcome.kind, JobOutcome::Kind::Cancelled);
}

void TestJobRunner::failuresAreReported_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QString>("message");
    QTest::newRow("failure value") << 0 << "no answer";
    QTest::newRow("exception") << 1 << "L'opération a échoué de façon inattendue.\nthrown";
    QTest::newRow("unknown exception") << 2 << "L'opération a échoué de façon inattendue.";
}

void TestJobRunner::failuresAreReported()
{
    QFETCH(int, how);
    QFETCH(QString, message);
    TestSupport::useFrenchTexts();
    JobRunner runner;
    QSignalSpy finished(&runner, &JobRunner::finished);
    runner.start([how](ProgressSink &, const CancelToken &) -> JobOutcome {
        if (how == 1)
            throw std::runtime_error("thrown");
        if (how == 2)
            throw 7;
        return JobOutcome::failure("no answer", 3);
    });
    QVERIFY(finished.wait(5000));
    const auto outcome = finished.first().first().value<JobOutcome>();
    QCOMPARE(outcome.kind, JobOutcome::Kind::Failed);
    QCOMPARE(outcome.message, message);
}

void TestJobRunner::destroyingWhileRunningCancelsAndJoins()
{
    std::atomic<bool> started = false;
    std::atomic<bool> ended = false;
    {
        JobRunner runner;
        runner.start([&](ProgressSink &sink, const CancelToken &cancel) {
            started = true;
            while (!cancel.cancelled())
                sink.setBar(2, 50, "busy"); // floods reports that are never delivered
            ended = true;
            return JobOutcome::cancelled({});
        });
        QTRY_VERIFY(started);
    }
    QVERIFY(ended);
    QCoreApplication::processEvents(); // reports of the dead runner are gone with it
}

// Waiting needs no event loop: the reports and the outcome are delivered
// before wait() returns, and the runner takes a job at once.
void TestJobRunner::waitDeliversTheEndAtOnce()
{
    JobRunner runner;
    QStringList statuses;
    connect(&runner, &JobRunner::status, this, [&](const QString &s) { statuses << s; });
    QSignalSpy finished(&runner, &JobRunner::finished);
    QVERIFY(runner.start([](ProgressSink &sink, const CancelToken &) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sink.setStatus("closed");
        return JobOutcome::success("ok");
    }));
    runner.wait();
    QVERIFY(!runner.isRunning());
    QCOMPARE(statuses, QStringList{"closed"});
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<JobOutcome>().message, QString("ok"));
    QVERIFY(runner.start([](ProgressSink &, const CancelToken &) { return JobOutcome{}; }));
    runner.wait();
    QCOMPARE(finished.size(), 2);
}

QTEST_GUILESS_MAIN(TestJobRunner)
#include "tst_jobrunner.moc"
