#pragma once

#include "icsp/IcspLines.h"
#include "icsp/IcspPort.h"

#include <QString>

#include <cstdint>

class SimulatedPic;

// A programmer box between the PC's port and the simulated PIC, wired as the
// real boxes are: on a serial port TXD drives MCLR, RTS CLOCK, DTR DATA and CTS
// returns the data line; on a parallel port the box's own pins. Boxes 2 and 3
// return the data line inverted. The PC side sees it through the same seams
// (ModemLines, ParallelPortRegisters) as a real port, so the routing is tested.
class SimulatedProgrammerBox
{
public:
    // How the data line comes back, for the self-test's faults.
    enum class Loopback { Normal, StuckLow, StuckHigh, Inverted, FollowsClock };

    // `wiring`: the box type and, for a parallel box, the pins it is wired to.
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

    SimulatedPic &m_pic;
    IcspLineSettings m_wiring;
    Loopback m_loopback = Loopback::Normal;
    QString m_openError;
    bool m_outputsIgnored = false;
    int m_opens = 0;
    bool m_clock = false;
};
