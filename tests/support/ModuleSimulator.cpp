#include "ModuleSimulator.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

ModuleSimulator::~ModuleSimulator()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel(); // the simulator leaves when its input ends
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

bool ModuleSimulator::start(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(TestSupport::toolsDirectory() + "/vek_module_sim", arguments);
    if (!m_process.waitForStarted(5000))
        return false;
    const QString line = waitForLine("PTY ");
    m_device = line.mid(4);
    return !m_device.isEmpty();
}

void ModuleSimulator::command(const QString &line)
{
    m_process.write((line + '\n').toLatin1());
    m_process.waitForBytesWritten(1000);
}

bool ModuleSimulator::unplug()
{
    command("quit");
    return m_process.waitForFinished(10000);
}

bool ModuleSimulator::sendBytes(const QByteArray &bytes)
{
    QString line = "send";
    for (char c : bytes)
        line += QStringLiteral(" %1").arg(uint8_t(c), 2, 16, QChar('0'));
    command(line);
    return !waitForLine("SENT ").isEmpty();
}

QString ModuleSimulator::waitForLine(const QString &prefix, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        while (m_process.canReadLine())
            m_seen << QString::fromLatin1(m_process.readLine()).trimmed();
        while (m_next < m_seen.size()) {
            const QString line = m_seen.at(m_next++);
            if (line.startsWith(prefix))
                return line;
        }
        if (timer.elapsed() > timeoutMs || m_process.state() == QProcess::NotRunning)
            return {};
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_process.waitForReadyRead(5);
    }
}

QList<uint16_t> ModuleSimulator::flashWords(const QString &scratchPath)
{
    command("dump " + scratchPath);
    if (waitForLine("DUMPED").isEmpty())
        return {};
    const QByteArray bytes = TestSupport::readFile(scratchPath);
    QList<uint16_t> words;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        words << uint16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8);
    return words;
}
