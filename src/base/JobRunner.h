#pragma once

#include "base/Jobs.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Runs one job at a time on a worker thread and reports its progress, status
// and outcome on the thread that owns the runner (the GUI thread), in order.
// A window locks its buttons from start() until finished(), and on closing
// either refuses while isRunning() or calls cancelAndWait().
class JobRunner : public QObject
{
    Q_OBJECT
public:
    explicit JobRunner(QObject *parent = nullptr);
    ~JobRunner() override; // cancels and waits for a running job

    // False, and nothing started, while a job runs.
    bool start(Job job);
    bool isRunning() const { return m_running; }
    // Asks the job to stop at its next check; finished() still follows.
    void cancel();
    // Asks the job to stop and waits until it has; no finished() follows.
    void cancelAndWait();
    // Waits until the job has ended, then delivers its reports and finished()
    // at once, before returning.
    void wait();

signals:
    void started();
    void progress(int bar, double percent, const QString &text);
    void status(const QString &text);
    void finished(const JobOutcome &outcome);

private slots:
    void deliverReports();

private:
    class Sink;
    using Report = std::function<void(JobRunner *)>;
    void post(quint64 generation, Report report);
    void join();

    std::thread m_thread;
    std::shared_ptr<CancelToken> m_cancel;
    bool m_running = false;
    quint64 m_generation = 0; // outcomes of an abandoned run are dropped
    // Reports cross from the worker through this queue, under our own lock, so
    // that the hand-over does not rest on the event loop's internals.
    std::mutex m_reportsLock;
    std::deque<std::pair<quint64, Report>> m_reports;
};
