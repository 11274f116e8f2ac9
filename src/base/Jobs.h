#pragma once

#include <QMetaType>
#include <QString>

#include <atomic>
#include <functional>

// What a long exchange (programming, downloads) needs of its window: a cancel
// request it checks between steps, and somewhere to report progress. The
// exchange itself is a plain function run off the GUI thread by JobRunner.

// Set by the GUI thread, read by the job at its next check.
class CancelToken
{
public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    void reset() { m_cancelled.store(false, std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
};

// Two progress bars (1 and 2: the whole operation and its current step) and a
// status text. Percentages are 0 to 100; the view rounds them.
class ProgressSink
{
public:
    virtual ~ProgressSink() = default;
    virtual void setBar(int bar, double percent, const QString &text) = 0;
    virtual void setStatus(const QString &text) = 0;
};

// A sink that drops everything (jobs run where nobody watches).
class NullProgressSink final : public ProgressSink
{
public:
    void setBar(int, double, const QString &) override {}
    void setStatus(const QString &) override {}
};

// How a job ended: the message is for the user as it stands; `code` keeps the
// protocol's own result code where it has one.
struct JobOutcome {
    enum class Kind { Succeeded, Failed, Cancelled };
    Kind kind = Kind::Succeeded;
    QString message;
    int code = 0;

    bool succeeded() const { return kind == Kind::Succeeded; }
    static JobOutcome success(const QString &message = {}) { return {Kind::Succeeded, message, 0}; }
    static JobOutcome failure(const QString &message, int code = -1)
    {
        return {Kind::Failed, message, code};
    }
    static JobOutcome cancelled(const QString &message) { return {Kind::Cancelled, message, -1}; }
};
Q_DECLARE_METATYPE(JobOutcome)

using Job = std::function<JobOutcome(ProgressSink &, const CancelToken &)>;
