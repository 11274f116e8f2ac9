#include "SimulatedPic.h"

#include "platform/Clock.h"

namespace {

// Write times of the default behaviour: what the programmer has always waited.
constexpr int kIdealProgramUs = 1000;
constexpr int kIdealEepromUs = 1000;
constexpr int kIdealEraseUs = 10000;

constexpr uint16_t kOsccal = 0x3480;  // RETLW 0x80
constexpr uint16_t kBandGap = 0x1000; // BG1:BG0 = 01

// Serial program/verify timing of the 14-bit chips' programming specifications
// (minimums, the same for every chip simulated here).
constexpr qint64 kDataSetupNs = 100;   // data steady before the clock falls
constexpr qint64 kDataHoldNs = 100;    // data kept after the clock fell
constexpr qint64 kDataIdleNs = 1000;   // data input left alone before a frame's first clock
constexpr qint64 kFrameGapNs = 1000;   // a frame's last clock fall to the next frame's first rise
constexpr qint64 kEntryHoldNs = 5000;  // clock and data held low after MCLR rises
constexpr qint64 kResetPulseNs = 2000; // MCLR low long enough to reset the chip

// Violations described one by one; past these only counted.
constexpr int kViolationsDescribed = 10;

} // namespace

SimChipModel SimChipModel::byName(const QString &name)
{
    // One line per chip: device ID, program words, EEPROM bytes, implemented
    // configuration bits, erase by setup sequence, erase by bulk commands,
    // calibration word and bits, write times (program, EEPROM, erase) in us.
    // clang-format off
    static const SimChipModel models[] = {
        {QStringLiteral("16F84"),    0x3FFF, 1024,  64, 0x3FFF, true , false,    -1, 0     , 10000, 10000, 10000},
        {QStringLiteral("16F84A"),   0x0563, 1024,  64, 0x3FFF, true , false,    -1, 0     ,  4000,  4000, 10000},
        {QStringLiteral("16F628"),   0x07C2, 2048, 128, 0x3DFF, true , false,    -1, 0     ,  8000,  8000, 15000},
        {QStringLiteral("16F628A"),  0x1066, 2048, 128, 0x3DFF, false, true ,    -1, 0     ,  4000,  4000,  6000},
        {QStringLiteral("12F629"),   0x0F83, 1024, 128, 0x31FF, false, true , 0x3FF, 0x3000,  2500,  6000,  8000},
        {QStringLiteral("16F876"),   0x09E4, 8192, 256, 0x3BFF, true , false,    -1, 0     ,  8000,  8000, 10000},
        {QStringLiteral("16F876A"),  0x0E07, 8192, 256, 0x2FCF, false, true ,    -1, 0     ,  8000,  8000, 10000},
        {QStringLiteral("16F877A"),  0x0E27, 8192, 256, 0x2FCF, false, true ,    -1, 0     ,  8000,  8000, 10000},
    };
    // clang-format on
    for (const SimChipModel &m : models)
        if (m.name == name)
            return m;
    SimChipModel m;
    m.name = name;
    return m;
}

SimulatedPic::SimulatedPic(const Clock &clock, const SimChipModel &model)
    : m_clock(clock), m_model(model)
{
    program.assign(size_t(m_model.pgmSize), 0x3FFF);
    eeprom.assign(size_t(m_model.eeSize), 0xFF);
    userId.fill(0x3FFF);
}

void SimulatedPic::setRealChipBehaviour(bool on)
{
    m_real = on;
    if (on)
        applyRealFactoryData();
}

void SimulatedPic::applyRealFactoryData()
{
    if (m_model.calibrationWord >= 0 && m_model.calibrationWord < m_model.pgmSize)
        program[size_t(m_model.calibrationWord)] = kOsccal;
    config =
        uint16_t((config & ~m_model.calibrationConfig) | (kBandGap & m_model.calibrationConfig));
}

void SimulatedPic::blank()
{
    std::fill(program.begin(), program.end(), 0x3FFF);
    std::fill(eeprom.begin(), eeprom.end(), 0xFF);
    userId.fill(0x3FFF);
    config = 0x3FFF;
    if (m_real)
        applyRealFactoryData();
}

uint16_t SimulatedPic::readConfig() const
{
    if (!m_real)
        return config & 0x3FFF;
    return uint16_t((config | ~m_model.configMask) & 0x3FFF);
}

bool SimulatedPic::busy() const
{
    return m_clock.nowUs() < m_busyUntilUs;
}

void SimulatedPic::busyFor(int us)
{
    m_busyUntilUs = m_clock.nowUs() + us;
}

void SimulatedPic::setMclr(bool high)
{
    if (high == m_mclr)
        return;
    m_mclr = high;
    const qint64 now = m_clock.nowUs();
    if (!high) {
        m_mclrFellUs = now;
        m_frameViolations.clear();
        if (m_progMode && busy()) {
            violation(QStringLiteral("MCLR dropped %1 us before the write or erase ended")
                          .arg(m_busyUntilUs - now));
            if (m_pendingAddress >= 0) {
                // The cycle is cut short: the cell keeps what it held.
                ++m_stats.interruptedWrites;
                if (m_pendingKind == Pending::Data)
                    eeprom[size_t(m_pendingAddress)] = uint8_t(m_pendingOld);
                else if (m_pendingAddress < 0x2000)
                    program[size_t(m_pendingAddress)] = m_pendingOld;
                else if (m_pendingAddress == 0x2007)
                    config = m_pendingOld;
                else
                    userId[size_t(m_pendingAddress - 0x2000)] = m_pendingOld;
            }
        }
        m_busyUntilUs = 0;
        m_progMode = false;
        m_driving = false;
        m_glitch = -1;
        return;
    }
    m_mclrRoseUs = now;
    if (m_present && !m_clk && !m_data) {
        if (m_mclrFellUs >= 0 && (now - m_mclrFellUs) * 1000 < kResetPulseNs)
            violation(QStringLiteral("MCLR low %1 ns before it rose, %2 ns needed for a reset")
                          .arg((now - m_mclrFellUs) * 1000)
                          .arg(kResetPulseNs));
        m_progMode = true;
        ++m_stats.programmingModeEntries;
        m_pc = 0;
        m_phase = Phase::Command;
        m_bits = 0;
        m_shift = 0;
        m_setup = 0;
        m_latchKind = Pending::None;
        m_command = -1;
        m_lastFallUs = -1;
        m_lastSampleUs = -1;
        m_entryHeld = true;
    }
}

void SimulatedPic::setClock(bool high)
{
    if (high == m_clk)
        return;
    m_clk = high;
    if (!m_progMode)
        return;
    if (m_entryHeld) {
        m_entryHeld = false;
        checkTiming("clock moved after MCLR rose", m_mclrRoseUs, kEntryHoldNs, true);
    }
    if (high)
        risingEdge();
    else
        fallingEdge();
}

void SimulatedPic::setData(bool high)
{
    if (high == m_data)
        return;
    m_data = high;
    if (m_progMode) {
        if (m_entryHeld) {
            m_entryHeld = false;
            checkTiming("data moved after MCLR rose", m_mclrRoseUs, kEntryHoldNs, true);
        }
        // The bit sampled last belongs to the frame being clocked in, or to
        // the one just complete.
        checkTiming("data held after the clock fell", m_lastSampleUs, kDataHoldNs, m_bits > 0);
    }
    m_dataChangedUs = m_clock.nowUs();
}

void SimulatedPic::checkTiming(const char *what, qint64 sinceUs, qint64 neededNs, bool inFrame)
{
    if (sinceUs < 0)
        return;
    const qint64 ns = (m_clock.nowUs() - sinceUs) * 1000;
    if (ns >= neededNs)
        return;
    const QString frame =
        m_command < 0
            ? QStringLiteral("first frame")
            : QStringLiteral("after command 0x%1").arg(m_command, 2, 16, QLatin1Char('0'));
    const QString text = QStringLiteral("%1 %2 ns, %3 ns needed (%4, bit %5)")
                             .arg(QLatin1String(what))
                             .arg(ns)
                             .arg(neededNs)
                             .arg(frame)
                             .arg(m_bits);
    if (inFrame)
        m_frameViolations << text;
    else
        violation(text);
}

void SimulatedPic::violation(const QString &text)
{
    if (m_violations.size() < kViolationsDescribed)
        m_violations << text;
    ++m_violationCount;
}

void SimulatedPic::commitFrameViolations()
{
    for (const QString &text : std::as_const(m_frameViolations))
        violation(text);
    m_frameViolations.clear();
}

QStringList SimulatedPic::takeTimingViolations()
{
    QStringList taken = m_violations;
    if (m_violationCount > m_violations.size())
        taken << QStringLiteral("and %1 more").arg(m_violationCount - m_violations.size());
    m_violations.clear();
    m_violationCount = 0;
    return taken;
}

bool SimulatedPic::dataLine() const
{
    if (m_glitch >= 0)
        return m_glitch == 1;
    return m_data && (!m_driving || m_driveBit);
}

void SimulatedPic::risingEdge()
{
    m_glitch = -1;
    if (m_bits == 0) {
        // A new command or data frame.
        checkTiming("frame started after the last clock fell", m_lastFallUs, kFrameGapNs, true);
        checkTiming("frame started after the data line moved", m_dataChangedUs, kDataIdleNs, true);
    }
    if (m_phase == Phase::DataOut && !m_ignoreFrame) {
        m_driving = true;
        m_driveBit = (m_outFrame >> m_bits) & 1u;
    }
}

void SimulatedPic::fallingEdge()
{
    m_lastFallUs = m_clock.nowUs();
    if (m_phase != Phase::DataOut) {
        checkTiming("data set up before the clock fell", m_dataChangedUs, kDataSetupNs, true);
        m_lastSampleUs = m_lastFallUs;
    }
    bool level = dataLine();
    // Faults: the line itself glitches, so the programmer's read-back sees it too.
    if (m_phase == Phase::Command && m_bits == 5 && m_loseNth > 0 &&
        m_shift == uint32_t(m_loseCommand & 0x1F) && !level && ++m_lostCount == m_loseNth) {
        level = true;
        m_glitch = 1;
    }
    if (m_phase == Phase::DataIn && m_command != 0x00 && m_flipLoad > 0 &&
        m_loadCount == m_flipLoad && m_bits == m_flipBit) {
        level = !level;
        m_glitch = level ? 1 : 0;
    }
    m_shift |= uint32_t(level ? 1 : 0) << m_bits;
    ++m_bits;
    switch (m_phase) {
    case Phase::Command:
        if (m_bits == 6) {
            const int command = int(m_shift & 0x3F);
            m_bits = 0;
            m_shift = 0;
            commitFrameViolations();
            decodeCommand(command);
        }
        break;
    case Phase::DataIn:
        if (m_bits == 16) {
            const int value = int((m_shift >> 1) & 0x3FFF);
            m_phase = Phase::Command;
            m_bits = 0;
            m_shift = 0;
            commitFrameViolations();
            if (!m_ignoreFrame)
                loaded(value);
        }
        break;
    case Phase::DataOut:
        if (m_bits == 16) {
            m_phase = Phase::Command;
            m_bits = 0;
            m_shift = 0;
            m_driving = false;
            commitFrameViolations();
        }
        break;
    }
}

void SimulatedPic::decodeCommand(int command)
{
    m_command = command;
    m_ignoreFrame = busy();
    if (m_ignoreFrame) {
        ++m_stats.commandsWhileBusy;
        violation(QStringLiteral("command 0x%1 %2 us before the write or erase ended")
                      .arg(command, 2, 16, QLatin1Char('0'))
                      .arg(m_busyUntilUs - m_clock.nowUs()));
    }
    const bool loads = command == 0x00 || command == 0x02 || command == 0x03;
    const bool reads = command == 0x04 || command == 0x05;
    if (loads) {
        if (command == 0x02 || command == 0x03)
            ++m_loadCount;
        m_phase = Phase::DataIn;
        return;
    }
    if (reads) {
        m_phase = Phase::DataOut;
        uint16_t value = 0x3FFF;
        if (command == 0x04) {
            value = readProgramSpace();
            if (m_pc == 0x2006)
                ++m_stats.deviceIdReads;
        } else if (m_model.eeSize > 0)
            value = eeprom[size_t(m_pc % m_model.eeSize)];
        // Start and stop bits are left to the line (released high).
        m_outFrame = (uint32_t(value & 0x3FFF) << 1) | 0x8001u;
        return;
    }
    if (m_ignoreFrame)
        return;
    const int setup = m_setup;
    m_setup = 0;
    const bool knowsSetup = m_model.setupSequenceErase || !m_real;
    const bool knowsBulk = m_model.bulkEraseCommands || !m_real;
    switch (command) {
    case 0x06:
        ++m_stats.increments;
        if (++m_decodedIncrements == m_skipIncrement)
            break;
        ++m_pc;
        if (m_pc > 0x3FFF)
            m_pc = 0x2000;
        break;
    case 0x01:
        m_setup = knowsSetup ? 1 : 0;
        break;
    case 0x07:
        m_setup = setup == 1 ? 2 : 0;
        break;
    case 0x08:
        if (setup == 2) {
            // This erase takes the configuration area (and the code protection)
            // only at the configuration word, where the programming
            // specifications send it; elsewhere it takes the memory loaded.
            if (m_latchKind == Pending::Data)
                bulkEraseData();
            else
                bulkEraseProgram(m_pc == 0x2007);
            if (m_pc == 0x2007) // erasing a protected chip clears the data memory too
                bulkEraseData();
            ++m_stats.bulkErases;
            busyFor(m_real ? m_model.eraseUs : kIdealEraseUs);
        } else {
            beginCycle();
        }
        break;
    case 0x09:
    case 0x0B:
        if (knowsBulk) {
            if (command == 0x09)
                bulkEraseProgram(m_pc >= 0x2000);
            else
                bulkEraseData();
            ++m_stats.bulkErases;
            busyFor(m_real ? m_model.eraseUs : kIdealEraseUs);
        }
        break;
    default:
        break; // not a command of this chip
    }
}

void SimulatedPic::loaded(int value)
{
    m_setup = 0;
    if (m_command == 0x00) {
        if (m_pc < 0x2000)
            m_pc = 0x2000;
        m_latch = uint16_t(value);
        m_latchKind = Pending::Program;
    } else if (m_command == 0x02) {
        m_latch = uint16_t(value);
        m_latchKind = Pending::Program;
    } else {
        m_latch = uint16_t(value & 0xFF);
        m_latchKind = Pending::Data;
    }
}

void SimulatedPic::beginCycle()
{
    if (m_latchKind == Pending::None)
        return;
    m_pendingKind = m_latchKind;
    m_pendingAddress = -1;
    if (m_latchKind == Pending::Data) {
        ++m_stats.eepromCycles;
        if (m_model.eeSize > 0 && !refused(0x2100 + m_pc % m_model.eeSize)) {
            m_pendingAddress = m_pc % m_model.eeSize;
            m_pendingOld = eeprom[size_t(m_pendingAddress)];
            eeprom[size_t(m_pendingAddress)] = uint8_t(m_latch);
        }
        busyFor(m_real ? m_model.eepromUs : kIdealEepromUs);
        return;
    }
    ++m_stats.programCycles;
    if (m_pc < 0x2000) {
        const int address = m_pc % m_model.pgmSize;
        if (!refused(address)) {
            m_pendingAddress = address;
            m_pendingOld = program[size_t(address)];
            program[size_t(address)] = m_latch & 0x3FFF;
        }
    } else if ((m_pc <= 0x2003 || m_pc == 0x2007) && !refused(m_pc)) {
        m_pendingAddress = m_pc;
        uint16_t &cell = m_pc == 0x2007 ? config : userId[size_t(m_pc - 0x2000)];
        m_pendingOld = cell;
        cell = m_latch & 0x3FFF;
    }
    busyFor(m_real ? m_model.programUs : kIdealProgramUs);
}

void SimulatedPic::bulkEraseProgram(bool configurationArea)
{
    for (int a = 0; a < m_model.pgmSize; ++a) {
        const auto weak = m_weak.find(a);
        if (weak != m_weak.end() && weak->second > 0)
            --weak->second;
        else if (!refused(a))
            program[size_t(a)] = 0x3FFF;
    }
    if (configurationArea) {
        for (int i = 0; i < 4; ++i)
            if (!refused(0x2000 + i))
                userId[size_t(i)] = 0x3FFF;
        if (!refused(0x2007))
            config = 0x3FFF;
        m_protected = false;
    }
    m_pendingAddress = -1;
}

void SimulatedPic::bulkEraseData()
{
    for (int n = 0; n < int(eeprom.size()); ++n)
        if (!refused(0x2100 + n))
            eeprom[size_t(n)] = 0xFF;
    m_pendingAddress = -1;
}

uint16_t SimulatedPic::readProgramSpace() const
{
    if (m_pc < 0x2000)
        return m_protected ? 0 : program[size_t(m_pc % m_model.pgmSize)];
    if (m_pc <= 0x2003)
        return userId[size_t(m_pc - 0x2000)];
    if (m_pc == 0x2006)
        return m_model.deviceId;
    if (m_pc == 0x2007)
        return readConfig();
    return 0x3FFF;
}
