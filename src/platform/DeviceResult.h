#pragma once

#include <QString>

#include <memory>

// A device opened, or the reason it could not be: the device's path and the
// system's own words ("/dev/ttyUSB0: Permission denied").
template <typename Device> struct DeviceResult {
    std::unique_ptr<Device> device;
    QString error;
    explicit operator bool() const { return device != nullptr; }
};

// "<path>: <strerror(errnum)>".
QString DeviceErrorText(const QString &path, int errnum);
