#include "base/JobRunner.h"

#include "base/VEK_LANGUAGE.h"

#include <QMetaObject>

#include <exception>
#include <optional>

namespace {

// A job that threw: the program's own words, then what was thrown as it came.
JobOutcome unexpectedFailure(const QString &thrown)
{
    const QString said = VEK_LANGUAGE::GetLanguageText(QStringLiteral("MessEchecInattendu"));
    return JobOutcome::failure(thrown.isEmpty() ? said : said + QLatin1Char('\n') + thrown);
}

} // namespace

// Hands each report to the runner's thread; a report of an abandoned run is dropped there.
class JobRunner::Sink final : public ProgressSink
{
public:
    Sink(JobRunner *runner, quint64 generation) : m_runner(runner), m_generation(generation) {}

    void setBar(int bar, double percent, const QString &text) override
    {
        post([=](JobRunner *r) { emit r->progress(bar, percent, text); });
    }
    void setStatus(const QString &text) override
    {
        post([=](JobRunner *r) { emit r->status(text); });
    }
    void post(Report report) { m_runner->post(m_generation, std::move(report)); }

private:
    JobRunner *m_runner;
    quint64 m_generation;
};

void JobRunner::post(quint64 generation, Report report)
{
    bool wake = false;
    {
        std::lock_guard lock(m_reportsLock);
        wake = m_reports.empty();
        m_reports.emplace_back(generation, std::move(report));
    }
    if (wake)
        QMetaObject::invokeMethod(this, "deliverReports", Qt::QueuedConnection);
}

void JobRunner::deliverReports()
{
    std::deque<std::pair<quint64, Report>> reports;
    {
        std::lock_guard lock(m_reportsLock);
        reports.swap(m_reports);
    }
    for (auto &[generation, report] : reports)
        if (generation == m_generation)
            report(this);
}

JobRunner::JobRunner(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<JobOutcome>();
}

JobRunner::~JobRunner()
{
    cancelAndWait();
}

bool JobRunner::start(Job job)
{
    if (m_running)
        return false;
    join(); // the previous run's thread has ended; collect it
    m_running = true;
    m_cancel = std::make_shared<CancelToken>();
    const quint64 generation = ++m_generation;
    emit started();
    m_thread = std::thread([this, job = std::move(job), cancel = m_cancel, generation] {
        Sink sink(this, generation);
        JobOutcome outcome;
        std::optional<QString> thrown; // what a job threw, worded on the GUI thread
        try {
            outcome = job(sink, *cancel);
        } catch (const std::exception &e) {
            thrown = QString::fromLocal8Bit(e.what());
        } catch (...) {
            thrown = QString();
        }
        sink.post([outcome, thrown](JobRunner *r) {
            r->m_running = false;
            r->join();
            emit r->finished(thrown ? unexpectedFailure(*thrown) : outcome);
        });
    });
    return true;
}

void JobRunner::cancel()
{
    if (m_cancel)
        m_cancel->cancel();
}

void JobRunner::cancelAndWait()
{
    cancel();
    join();
    if (m_running) {
        m_running = false;
        ++m_generation; // drop what the run posted and has not been delivered
    }
}

void JobRunner::wait()
{
    join();
    deliverReports();
}

void JobRunner::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
