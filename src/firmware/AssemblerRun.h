#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

// Outcome of one run of the assembler on a project source.
struct AssemblerResult {
    enum Status {
        Succeeded,     // exit status 0, and every output whole in the project's folder
        Failed,        // the assembler ran and reported errors
        NotInstalled,  // no assembler program on this system
        NoProject,     // no project chosen, or its file is missing
        Crashed,       // the assembler could not start or did not end normally
        OutputsNotPut, // it succeeded, but an output is missing, cut short or not written
    };
    Status status = Failed;
    int exitCode = -1;
    QStringList errorLines; // the assembler's error lines, as it printed them
    QString output;         // everything it printed
    QString hexFile;        // the HEX file beside the source
    QString outputProblem;  // which output did not reach the project's folder, and why
    QStringList written;    // the project's files the run replaced, in order
};

// Runs gpasm on an assembler project, without a shell, and reports the outcome
// once it ends. gpasm runs in a scratch folder of its own and writes its
// outputs there (it checks none of its writes); they reach the project's
// folder only whole and through the program's one writer (AssemblerOutputs).
// gpasm stands in for the PIC assembler the firmware sources are written for:
// symbols are case-insensitive as there, and includes are looked up in the
// project's folder. gpasm shows no progress output of its own, so its run is
// already quiet; its -q switch would also silence the error messages that the
// user is shown, so it is not used.
class AssemblerRun : public QObject
{
    Q_OBJECT
public:
    explicit AssemblerRun(QObject *parent = nullptr);
    ~AssemblerRun() override;

    // The assembler program (a name looked up in PATH, or a path); "gpasm" by default.
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }

    // The Debian package to install when the assembler is missing.
    static QString packageName() { return QStringLiteral("gputils"); }

    // The arguments of a run on `projectPath` writing its outputs as `hexFile`
    // names them (the listing and symbol file beside it).
    static QStringList arguments(const QString &projectPath, const QString &hexFile);

    // Error lines of the assembler's output: its "Error[...]" lines, or when it
    // failed without any, every line it printed that is not a warning or message.
    static QStringList errorLines(const QString &output, bool failed);

    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // Starts a run; finished() follows, also at once for a missing program or project.
    // Returns false (and emits nothing) while a run is still going.
    bool start(const QString &projectPath);

signals:
    void finished(const AssemblerResult &result);

private:
    // The outputs checked and put beside the project (AssemblerOutputs::Deliver).
    void deliver(AssemblerResult &result);
    void finish(AssemblerResult result);
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onError(QProcess::ProcessError error);

    QString m_program = QStringLiteral("gpasm");
    QString m_project; // the source of the run
    std::unique_ptr<QTemporaryDir> m_scratch;
    QProcess m_process;
    bool m_reported = true;
};

Q_DECLARE_METATYPE(AssemblerResult)
