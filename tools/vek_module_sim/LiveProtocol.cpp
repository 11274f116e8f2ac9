#include "LiveProtocol.h"

void LiveProtocol::onBytes(const QByteArray &bytes, ModuleLine &line)
{
    for (char c : bytes) {
        if (!m_command.isEmpty()) {
            m_command.append(c);
            if (m_command.size() == 3) {
                m_simulatedPeriod = uint16_t(uint8_t(m_command[1]) << 8 | uint8_t(m_command[2]));
                m_simulating = true;
                m_command.clear();
                line.report(QStringLiteral("SIMUL %1").arg(m_simulatedPeriod));
            }
        } else if (c == '!') {
            m_command.append(c);
        } else if (c == '"') {
            m_simulating = false;
            line.report(QStringLiteral("STOP"));
        } else {
            line.report(QStringLiteral("IGNORED %1").arg(uint8_t(c)));
        }
    }
}

TrameLive LiveProtocol::nextFrame()
{
    const uint16_t seq = m_sequence++;
    const uint16_t timing = uint16_t(100 + seq % 64);
    const auto statusA = uint8_t(seq & 0x3F);
    const auto statusB = uint8_t((seq >> 2) & 0x73);
    return TrameLive::withWords(period(), timing, statusA, statusB, uint8_t(seq >> 8),
                                uint8_t(seq & 0xFF));
}
