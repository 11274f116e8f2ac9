#pragma once

#include "platform/DeviceResult.h"

#include <QString>

#include <cstdint>
#include <optional>

class SystemCalls;

// The three registers of a PC parallel port as the hardware has them (no bit
// inverted by us): data (pins 2-9), status (pins 10-13, 15) and control
// (pins 1, 14, 16, 17).
class ParallelPortRegisters
{
public:
    virtual ~ParallelPortRegisters() = default;
    virtual bool writeData(uint8_t value) = 0;
    virtual std::optional<uint8_t> readData() = 0;
    virtual bool writeControl(uint8_t value) = 0;
    virtual std::optional<uint8_t> readControl() = 0;
    virtual std::optional<uint8_t> readStatus() = 0;
    virtual QString errorText() const = 0;
};

// A parallel port through the kernel's ppdev driver, claimed while open.
class PpdevPort final : public ParallelPortRegisters
{
public:
    // "LPT1" opens /dev/parport0, "LPTn" /dev/parport(n-1); a path is taken as it is.
    static QString DeviceFor(const QString &port);
    static DeviceResult<PpdevPort> open(const QString &port, SystemCalls &calls);
    ~PpdevPort() override;
    PpdevPort(const PpdevPort &) = delete;
    PpdevPort &operator=(const PpdevPort &) = delete;

    bool writeData(uint8_t value) override;
    std::optional<uint8_t> readData() override;
    bool writeControl(uint8_t value) override;
    std::optional<uint8_t> readControl() override;
    std::optional<uint8_t> readStatus() override;
    QString errorText() const override { return m_error; }

private:
    PpdevPort(int fd, const QString &device, SystemCalls &calls)
        : m_fd(fd), m_device(device), m_calls(calls)
    {}
    bool write(unsigned long request, uint8_t value);
    std::optional<uint8_t> read(unsigned long request);

    int m_fd;
    QString m_device;
    SystemCalls &m_calls;
    QString m_error;
};
