#pragma once

#include "platform/DeviceResult.h"

#include <QSerialPort>
#include <QString>

#include <optional>

// Opening the event-driven serial port of the live link and the terminal, and
// telling which of its errors mean the port is gone.
namespace SerialPortOpening {

// Opens the serial port `name` names (SerialPortNames: "COMn" or a path,
// links followed) with a settings text such as "9600,N,8,1" and a flow
// control. On failure the port is left closed and the reason is returned; a
// port that another program or window holds (QSerialPort takes the same lock
// files and exclusive opening as our raw ttys, and we flock() it as they do)
// is told as in use, with its holder when the lock files name one; a device
// that is no tty as not a serial port. While open, the port is known to our
// other openings as held here (SerialPortLock), until it closes.
std::optional<DeviceFailure> Open(QSerialPort &port, const QString &name,
                                  const QString &settingsText, QSerialPort::FlowControl flow);

// After `error` on the open `port`: nothing when the port can go on; else why
// it cannot (unplugged, read or write failure), in the system's words without
// the device's name, and the fault Gone when the device went away.
std::optional<DeviceFailure> LossOf(const QSerialPort &port, QSerialPort::SerialPortError error);

} // namespace SerialPortOpening
