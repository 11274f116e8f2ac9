#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated module (tools/vek_module_sim) run as a real process for a test:
// it opens a pseudo-terminal pair and plays the module on the master side.
class ModuleSimulator
{
public:
    ~ModuleSimulator();

    // Starts the simulator with `arguments` and reads the device path it prints.
    bool start(const QStringList &arguments = {});
    QString devicePath() const { return m_device; }

    // A control command (see the simulator), e.g. "send 23 04 E2" or "stream 100".
    void command(const QString &line);
    // Sends these bytes to the program and waits until the simulator wrote them.
    bool sendBytes(const QByteArray &bytes);
    // Waits (running the event loop) for the next output line that starts with
    // `prefix`, skipping others; empty on time-out.
    QString waitForLine(const QString &prefix, int timeoutMs = 10000);
    // The bootloader's flash as program words, dumped through the file
    // `scratchPath`; empty when the simulator did not dump it.
    QList<uint16_t> flashWords(const QString &scratchPath);
    // Ends the simulator as an unplugged module goes: its side of the line
    // closes. True once it has.
    bool unplug();
    // Every output line seen so far.
    QStringList lines() const { return m_seen; }

private:
    QProcess m_process;
    QString m_device;
    QStringList m_seen;
    int m_next = 0;
};
