#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a protocol handler may do with the module's line.
class ModuleLine
{
public:
    virtual ~ModuleLine() = default;
    // Queues bytes for the program (paced like the rest of the output).
    virtual void send(const QByteArray &bytes) = 0;
    // One line on the simulator's standard output, for the tests.
    virtual void report(const QString &line) = 0;
    // The line goes away (the program sees its port hang up).
    virtual void hangUp() {}
};

// One mode of the simulated module (live stream, bootloader, ...): it answers
// the bytes the program sends and produces what the module sends by itself.
class ProtocolHandler
{
public:
    virtual ~ProtocolHandler() = default;
    virtual void onBytes(const QByteArray &bytes, ModuleLine &line) = 0;
    // A control command of standard input that the module does not know itself;
    // false when this mode does not know it either.
    virtual bool command(const QStringList &, ModuleLine &) { return false; }
};
