#include "firmware/AssemblerRun.h"

#include "base/VEK_LANGUAGE.h"
#include "firmware/AssemblerOutputs.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

AssemblerRun::AssemblerRun(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<AssemblerResult>();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::finished, this, &AssemblerRun::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &AssemblerRun::onError);
}

AssemblerRun::~AssemblerRun() = default;

QStringList AssemblerRun::arguments(const QString &projectPath, const QString &hexFile)
{
    // --ignore-case: symbols compared without regard to case; -I: the includes
    // the source names are the project's own, though gpasm runs elsewhere.
    const QFileInfo project(projectPath);
    return {QStringLiteral("--ignore-case"),
            QStringLiteral("-I"),
            project.absolutePath(),
            QStringLiteral("-o"),
            hexFile,
            project.absoluteFilePath()};
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

    m_scratch =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vek-asm-XXXXXX"));
    if (!m_scratch->isValid()) {
        result.status = AssemblerResult::OutputsNotPut;
        result.outputProblem = VEK_LANGUAGE::GetLanguageText(
            "MessAsmDossierTravail", {QStringLiteral("{FICHIER}"), QDir::tempPath(),
                                      QStringLiteral("%RAISON%"), m_scratch->errorString()});
        m_scratch.reset();
        finish(result);
        return true;
    }
    m_project = project.absoluteFilePath();
    m_process.setWorkingDirectory(m_scratch->path());
    m_process.start(
        executable,
        arguments(
            projectPath,
            QDir(m_scratch->path()).filePath(project.completeBaseName() + QStringLiteral(".hex"))));
    return true;
}

void AssemblerRun::deliver(AssemblerResult &result)
{
    const QFileInfo project(m_project);
    result.hexFile =
        project.absoluteDir().filePath(project.completeBaseName() + QStringLiteral(".hex"));
    const bool built = result.status == AssemblerResult::Succeeded;
    const AssemblerOutputs::Delivery delivery = AssemblerOutputs::Deliver(
        m_scratch->path(), project.absolutePath(), project.completeBaseName(), built);
    result.written = delivery.written;
    result.outputProblem = delivery.problem;
    if (built && !delivery.problem.isEmpty())
        result.status = AssemblerResult::OutputsNotPut;
}

void AssemblerRun::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    AssemblerResult result;
    result.exitCode = exitCode;
    result.output = QString::fromLocal8Bit(m_process.readAll());
    if (exitStatus != QProcess::NormalExit)
        result.status = AssemblerResult::Crashed;
    else
        result.status = exitCode == 0 ? AssemblerResult::Succeeded : AssemblerResult::Failed;
    result.errorLines = errorLines(result.output, result.status != AssemblerResult::Succeeded);
    // A failed run's listing says where the errors are: it comes over too.
    if (result.status != AssemblerResult::Crashed)
        deliver(result);
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
    m_scratch.reset();
    // Always reported from the event loop, so a caller may connect after start().
    QMetaObject::invokeMethod(
        this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
}
