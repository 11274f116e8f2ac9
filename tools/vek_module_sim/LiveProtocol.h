#pragma once

#include "ProtocolHandler.h"
#include "live/TrameLive.h"

#include <cstdint>

// The module in its running mode: it streams live frames and obeys the rpm
// simulation commands ("!" and a 16-bit period; the stop byte 0x22).
class LiveProtocol : public ProtocolHandler
{
public:
    explicit LiveProtocol(uint16_t period) : m_ownPeriod(period) {}

    void onBytes(const QByteArray &bytes, ModuleLine &line) override;

    // The next frame of the stream: the current period, a varying timing and
    // status, and a 16-bit sequence number in the two analogue bytes.
    TrameLive nextFrame();

    uint16_t period() const { return m_simulating ? m_simulatedPeriod : m_ownPeriod; }
    bool simulating() const { return m_simulating; }

private:
    uint16_t m_ownPeriod;
    uint16_t m_simulatedPeriod = 0;
    bool m_simulating = false;
    uint16_t m_sequence = 0;
    // Command bytes received so far ("!" waits for its two period bytes).
    QByteArray m_command;
};
