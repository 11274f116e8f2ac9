#include "firmware/AssemblerRun.h"

#include "base/FileFailureReason.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

AssemblerRun::AssemblerRun(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<AssemblerResult>();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::finished, this, &AssemblerRun::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &AssemblerRun::onError);
}

QStringList AssemblerRun::arguments(const QString &projectPath)
{
    // --ignore-case: symbols compared without regard to case.
    return {QStringLiteral("--ignore-case"), QFileInfo(projectPath).absoluteFilePath()};
}

QStringList AssemblerRun::errorLines(const QString &output, bool failed)
{
    static const QRegularExpression errorTag(QStringLiteral("\\bError\\[\\d+\\]"));
    static const QRegularExpression noteTag(QStringLiteral("\\b(Warning|Message)\\[\\d+\\]"));
    QStringList errors;
    QStringList others;
    const QStringList lines =
        output.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (errorTag.match(line).hasMatch())
            errors << line;
        else if (!noteTag.match(line).hasMatch())
            others << line;
    }
    if (errors.isEmpty() && failed)
        return others;
    return errors;
}

QList<AssemblerRun::FileFault> AssemblerRun::fileFaults(const QStringList &errorLines)
{
    static const QRegularExpression pathAndReason(QStringLiteral("^(/.+?): (.+)$"));
    QList<FileFault> faults;
    for (const QString &line : errorLines) {
        const QRegularExpressionMatch m = pathAndReason.match(line);
        if (m.hasMatch() && FileFailureReason::errnoOf(m.captured(2)) != 0)
            faults.append({m.captured(1), m.captured(2)});
    }
    return faults;
}

bool AssemblerRun::start(const QString &projectPath)
{
    if (isRunning() || !m_reported)
        return false;
    m_reported = false;

    AssemblerResult result;
    const QFileInfo project(projectPath);
    if (projectPath.trimmed().isEmpty() || !project.isFile()) {
        result.status = AssemblerResult::NoProject;
        finish(result);
        return true;
    }
    const QString executable = m_program.contains(QLatin1Char('/'))
                                   ? (QFileInfo(m_program).isExecutable() ? m_program : QString())
                                   : QStandardPaths::findExecutable(m_program);
    if (executable.isEmpty()) {
        result.status = AssemblerResult::NotInstalled;
        finish(result);
        return true;
    }

    m_hexFile = project.absoluteDir().filePath(project.completeBaseName() + QStringLiteral(".hex"));
    m_process.setWorkingDirectory(project.absolutePath());
    m_process.start(executable, arguments(projectPath));
    return true;
}

void AssemblerRun::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    AssemblerResult result;
    result.exitCode = exitCode;
    result.output = QString::fromLocal8Bit(m_process.readAll());
    result.hexFile = m_hexFile;
    if (exitStatus != QProcess::NormalExit)
        result.status = AssemblerResult::Crashed;
    else
        result.status = exitCode == 0 ? AssemblerResult::Succeeded : AssemblerResult::Failed;
    result.errorLines = errorLines(result.output, result.status != AssemblerResult::Succeeded);
    finish(result);
}

void AssemblerRun::onError(QProcess::ProcessError error)
{
    // A crash also ends with finished(); only a failed start ends here.
    if (error != QProcess::FailedToStart)
        return;
    AssemblerResult result;
    result.status = AssemblerResult::Crashed;
    result.output = m_process.errorString();
    result.errorLines = {result.output};
    finish(result);
}

void AssemblerRun::finish(AssemblerResult result)
{
    if (m_reported)
        return;
    m_reported = true;
    // Always reported from the event loop, so a caller may connect after start().
    QMetaObject::invokeMethod(
        this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}
