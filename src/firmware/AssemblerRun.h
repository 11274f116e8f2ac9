#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// Outcome of one run of the assembler on a project source.
struct AssemblerResult {
    enum Status {
        Succeeded,    // exit status 0
        Failed,       // the assembler ran and reported errors
        NotInstalled, // no assembler program on this system
        NoProject,    // no project chosen, or its file is missing
        Crashed,      // the assembler could not start or did not end normally
    };
    Status status = Failed;
    int exitCode = -1;
    QStringList errorLines; // the assembler's error lines, as it printed them
    QString output;         // everything it printed
    QString hexFile;        // the HEX file it writes beside the source
};

// Runs gpasm on an assembler project, without a shell, in the project's folder,
// and reports the outcome once it ends. gpasm stands in for the PIC assembler the
// firmware sources are written for: symbols are case-insensitive as there. gpasm
// shows no progress output of its own, so its run is already quiet; its -q switch
// would also silence the error messages that the user is shown, so it is not used.
class AssemblerRun : public QObject
{
    Q_OBJECT
public:
    explicit AssemblerRun(QObject *parent = nullptr);

    // The assembler program (a name looked up in PATH, or a path); "gpasm" by default.
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }

    // The Debian package to install when the assembler is missing.
    static QString packageName() { return QStringLiteral("gputils"); }

    // The arguments of a run on `projectPath`.
    static QStringList arguments(const QString &projectPath);

    // Error lines of the assembler's output: its "Error[...]" lines, or when it
    // failed without any, every line it printed that is not a warning or message.
    static QStringList errorLines(const QString &output, bool failed);

    // A file the assembler could not open or write, as its error lines name
    // it ("/p/prog.cod: Read-only file system"): the file and the system's text.
    struct FileFault {
        QString path;
        QString systemText;
    };
    static QList<FileFault> fileFaults(const QStringList &errorLines);

    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    // Starts a run; finished() follows, also at once for a missing program or project.
    // Returns false (and emits nothing) while a run is still going.
    bool start(const QString &projectPath);

signals:
    void finished(const AssemblerResult &result);

private:
    void finish(AssemblerResult result);
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onError(QProcess::ProcessError error);

    QString m_program = QStringLiteral("gpasm");
    QString m_hexFile;
    QProcess m_process;
    bool m_reported = true;
};

Q_DECLARE_METATYPE(AssemblerResult)
