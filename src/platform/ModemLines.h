#pragma once

#include "platform/DeviceResult.h"

#include <QString>

#include <optional>

class SystemCalls;

// The modem lines of a serial port driven one by one, as an in-circuit
// programmer of the serial kind uses them: TXD held high or low (a break holds
// it at the space level), RTS and DTR set or cleared, CTS read.
class ModemLines
{
public:
    virtual ~ModemLines() = default;
    virtual bool setTxd(bool on) = 0; // on: break (space level)
    virtual bool setRts(bool on) = 0;
    virtual bool setDtr(bool on) = 0;
    virtual std::optional<bool> cts() = 0;
    virtual QString errorText() const = 0;

    // RTS and DTR as the port has them now, read back; nothing when this port
    // cannot tell (TXD, held by a break, cannot be read back at all).
    struct Outputs {
        bool rts = false;
        bool dtr = false;
    };
    virtual std::optional<Outputs> outputs() { return std::nullopt; }
};

// The lines of an open tty, through TIOCSBRK/TIOCCBRK, TIOCMBIS/TIOCMBIC and TIOCMGET.
class TtyModemLines final : public ModemLines
{
public:
    // `fd` stays the caller's; `device` names it in messages.
    TtyModemLines(int fd, const QString &device, SystemCalls &calls);

    // False for a port without modem lines (a pseudo-terminal, some USB
    // adapters), which refuses to read them: it cannot drive a programmer.
    bool present();

    bool setTxd(bool on) override;
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    std::optional<bool> cts() override;
    std::optional<Outputs> outputs() override;
    QString errorText() const override { return m_error; }

private:
    bool setBit(int bit, bool on);
    bool call(unsigned long request, void *arg);

    int m_fd;
    QString m_device;
    SystemCalls &m_calls;
    QString m_error;
};
