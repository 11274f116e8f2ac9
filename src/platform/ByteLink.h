#pragma once

#include "platform/DeviceResult.h"

#include <QByteArray>
#include <QString>

// A serial byte stream with deadlines, for synchronous exchanges run off the GUI
// thread (bootloader, compatible-family upload). Tests put a scripted or
// simulated peer behind it.
class ByteLink
{
public:
    enum class Status {
        Ok,       // all asked for was done
        TimedOut, // the time ran out first: what came is in the buffer
        Closed,   // the peer went away (device unplugged, other end closed)
        Failed,   // any other error: see errorText()
    };

    virtual ~ByteLink() = default;
    // Writes all of `bytes` and waits until they have left.
    virtual Status write(const QByteArray &bytes) = 0;
    // Appends to `into` what arrives until `count` more bytes came or
    // `timeoutMs` milliseconds passed.
    virtual Status read(QByteArray &into, qsizetype count, qint64 timeoutMs) = 0;
    // Bytes received and not read yet.
    virtual qsizetype available() = 0;
    // Drops what was received and not read yet.
    virtual void discardInput() = 0;
    // The system's words for the last failure.
    virtual QString errorText() const = 0;

    // The failure a call that ended with `status` (Closed or Failed) stands
    // for: the system's words, and Gone when the device went away.
    DeviceFailure failureOf(Status status) const
    {
        DeviceFailure failure;
        failure.error = errorText();
        failure.fault = status == Status::Closed ? DeviceFault::Gone : DeviceFault::Other;
        return failure;
    }
};
