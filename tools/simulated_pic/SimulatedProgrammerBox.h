#pragma once

#include "icsp/IcspLines.h"
#include "icsp/IcspPort.h"

#include <QString>

#include <cstdint>
#include <functional>

class SimulatedPic;

// A programmer box between the PC's port and the simulated PIC, wired as the
// boxes are described: JDM (box 0) always on a serial port, where TXD (held by
// a break) drives MCLR, RTS the clock, DTR the data and CTS reads the data line
// back; boxes 1 to 3 on a serial port the same lines, on a parallel port the
// pins they are wired to; VEK-MZ300 and Q-PAK (boxes 2, 3) return the data
// line inverted. The PC side sees it through the same seams (ModemLines,
// ParallelPortRegisters) as a real port, and the box finds its pins in the
// port's registers with its own table of the PC parallel port, so the
// program's routing and pin table are what is tested.
class SimulatedProgrammerBox
{
public:
    // How the data line comes back, for the self-test's faults.
    enum class Loopback { Normal, StuckLow, StuckHigh, Inverted, FollowsClock };

    // `wiring`: the box type, the port it is plugged into ("COMn", "LPTn" or a
    // device path) and, on a parallel port, the pins it is wired to.
    SimulatedProgrammerBox(SimulatedPic &pic, const IcspLineSettings &wiring);

    void setLoopback(Loopback loopback) { m_loopback = loopback; }
    // A port that ignores RTS and DTR (some USB adapters): they stay low, on
    // the box's side as read back.
    void setOutputsIgnored(bool ignored) { m_outputsIgnored = ignored; }
    bool outputsIgnored() const { return m_outputsIgnored; }
    // The next opens fail with this reason (empty: they succeed).
    void failOpens(const QString &reason) { m_openError = reason; }

    // An opener for the programmer: a port whose seams lead to this box.
    IcspPortOpener opener();
    int opens() const { return m_opens; }
    // Called when a port the opener gave is closed (the end of an operation).
    void onPortClosed(std::function<void()> closed) { m_closed = std::move(closed); }
    void portClosed() const
    {
        if (m_closed)
            m_closed();
    }

    // PC side, called through the seams.
    void serialOutputs(bool txd, bool rts, bool dtr);
    bool serialCts() const;
    void parallelOutputs(uint8_t data, uint8_t control);
    uint8_t parallelStatus() const;

    uint8_t dataRegister = 0;
    uint8_t controlRegister = 0;
    int lineOperations = 0;

private:
    void drive(bool mclr, bool clock, bool data);
    bool returnedLevel() const; // the data line at the box's return pin, before the PC

    enum class Connector { None, Serial, Parallel };

    SimulatedPic &m_pic;
    IcspLineSettings m_wiring;
    Connector m_connector = Connector::None;
    bool m_invertsDataR = false;
    std::function<void()> m_closed;
    Loopback m_loopback = Loopback::Normal;
    QString m_openError;
    bool m_outputsIgnored = false;
    int m_opens = 0;
    bool m_clock = false;
};
