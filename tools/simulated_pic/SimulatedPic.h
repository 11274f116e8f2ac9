#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

class Clock;

// What the simulated chip is: sizes, IDs, which erase commands it obeys, the
// configuration bits it implements, its factory calibration and its write times.
struct SimChipModel {
    QString name;
    uint16_t deviceId = 0x3FFF; // 0x3FFF: the chip has no device ID
    int pgmSize = 1024;
    int eeSize = 64;
    uint16_t configMask = 0x3FFF;
    bool setupSequenceErase = true; // commands 1, 7 then Begin Erase/Programming
    bool bulkEraseCommands = false; // 0x09 and 0x0B
    int calibrationWord = -1;       // factory oscillator calibration in program memory
    uint16_t calibrationConfig = 0; // factory bits of the configuration word
    int programUs = 4000;           // real cycle times
    int eepromUs = 4000;
    int eraseUs = 10000;

    // "16F84", "16F84A", "16F628", "16F628A", "12F629", "16F876", "16F876A", "16F877A".
    static SimChipModel byName(const QString &name);
};

// A 14-bit mid-range PIC in serial programming mode, as the programmer's lines
// see it. It enters programming mode when MCLR rises with CLOCK and DATA low,
// samples DATA on each falling CLOCK, decodes 6-bit commands and 16-bit data
// frames, drives the data line for reads, and is busy for its write time after
// each programming or erase cycle: a command clocked in while busy is lost, and
// MCLR dropped while busy loses the write.
//
// It times every edge on the clock it is given and counts what breaks the
// serial program/verify timing of the chips' programming specifications: data
// set up too close before the clock falls or changed too soon after it, a frame
// started too soon after the last one or after the data line changed, the clock
// or data moved too soon after MCLR rose, MCLR too short low to reset the chip,
// a command while a write or erase is still running, a write cut short.
//
// By default it behaves as the programmer has always assumed (short write times,
// every erase command, configuration read back as written). Real-chip behaviour
// gives it the model's write times, the model's erase commands only, unimplemented
// configuration bits reading 1 and factory calibration data.
class SimulatedPic
{
public:
    SimulatedPic(const Clock &clock, const SimChipModel &model);

    void setRealChipBehaviour(bool on);
    // No chip on the lines: nothing is decoded, nothing is driven.
    void setPresent(bool present) { m_present = present; }
    const SimChipModel &model() const { return m_model; }

    // Line levels from the programmer box.
    void setMclr(bool high);
    void setClock(bool high);
    void setData(bool high);
    // The data line as the box reads it back: the programmer's level, pulled low
    // where the chip drives a 0, or a fault's glitch.
    bool dataLine() const;

    // Memories (14-bit words, EEPROM bytes), for the tests to fill and check.
    std::vector<uint16_t> program;
    std::vector<uint8_t> eeprom;
    std::array<uint16_t, 4> userId{};
    uint16_t config = 0x3FFF; // as stored; readConfig() is what the chip returns
    uint16_t readConfig() const;
    void blank(); // erased chip, factory calibration kept

    // Faults.
    // The cell refuses writes (and erases): a program word, a user ID
    // (0x2000 to 0x2003), the configuration word (0x2007) or an EEPROM byte
    // (0x2100 + n).
    void refuseWrites(int address) { m_refused.insert(address); }
    // The line glitches on bit `bit` (1 to 14) of the `nth` (1-based) Load Data frame.
    void flipLoadBit(int nth, int bit)
    {
        m_flipLoad = nth;
        m_flipBit = bit;
    }
    // The `nth` frame of the 6-bit `command` is garbled on the line: its last
    // bit reads 1, a command the chip ignores, and the programmer reads it back so.
    void loseCommand(int command, int nth)
    {
        m_loseCommand = command;
        m_loseNth = nth;
    }
    // The `nth` Increment Address is garbled so.
    void loseIncrement(int nth) { loseCommand(0x06, nth); }
    // The chip's counter misses the `nth` Increment Address it decodes while
    // the line looks right (the box's loop-back echoes the command).
    void skipIncrement(int nth) { m_skipIncrement = nth; }
    // Code protection: program memory reads 0x0000 until an erase of the
    // configuration area clears it: commands 1 and 7 then Begin
    // Erase/Programming at the configuration word 0x2007, or Bulk Erase Program
    // Memory from any configuration address (a protected 12F629 hides its
    // OSCCAL so).
    void protectCode() { m_protected = true; }
    // A weak program cell: it keeps its value through the next `erases` bulk
    // erases of the program memory.
    void weakCell(int address, int erases) { m_weak[address] = erases; }

    // Timing violations since the last take: how many, and what they were (the
    // first few, described), forgotten by the take.
    int timingViolations() const { return m_violationCount; }
    QStringList takeTimingViolations();

    struct Stats {
        int programmingModeEntries = 0;
        int programCycles = 0; // program memory, IDs and configuration
        int eepromCycles = 0;
        int bulkErases = 0;
        int commandsWhileBusy = 0;
        int interruptedWrites = 0;
        int increments = 0;
        int deviceIdReads = 0; // Read Data at 0x2006
    };
    const Stats &stats() const { return m_stats; }
    bool inProgrammingMode() const { return m_progMode; }
    int pc() const { return m_pc; }

private:
    enum class Phase { Command, DataIn, DataOut };
    enum class Pending { None, Program, Data };

    void fallingEdge();
    void risingEdge();
    void decodeCommand(int command);
    void loaded(int value);
    void beginCycle();
    // The program memory, and with `configurationArea` the IDs, the
    // configuration word and the code protection.
    void bulkEraseProgram(bool configurationArea);
    void bulkEraseData();
    uint16_t readProgramSpace() const;
    void busyFor(int us);
    bool busy() const;
    void applyRealFactoryData();
    bool refused(int address) const { return m_refused.count(address) != 0; }
    // Timing: the time since `sinceUs` against the `neededNs` a rule asks for;
    // a violation counts with the frame being clocked in, or at once.
    void checkTiming(const char *what, qint64 sinceUs, qint64 neededNs, bool inFrame);
    void violation(const QString &text);
    void commitFrameViolations();

    const Clock &m_clock;
    SimChipModel m_model;
    bool m_real = false;
    bool m_present = true;

    bool m_mclr = false, m_clk = false, m_data = false;
    bool m_progMode = false;
    Phase m_phase = Phase::Command;
    int m_bits = 0;
    uint32_t m_shift = 0;
    int m_command = 0;
    bool m_ignoreFrame = false; // the command came in while busy
    int m_pc = 0;
    uint16_t m_latch = 0x3FFF;
    Pending m_latchKind = Pending::None;
    int m_setup = 0; // 1 after command 1, 2 after 1 then 7
    bool m_driving = false;
    bool m_driveBit = true;
    uint32_t m_outFrame = 0;
    int m_glitch = -1; // -1 none, else the level the line is forced to
    int m_loadCount = 0;
    int m_lostCount = 0; // frames of m_loseCommand clocked in

    qint64 m_busyUntilUs = 0;
    // The write in progress, undone when MCLR drops before it is over.
    int m_pendingAddress = -1;
    Pending m_pendingKind = Pending::None;
    uint16_t m_pendingOld = 0;

    // Edge times (microseconds on the clock), -1 for none since the chip entered
    // programming mode.
    qint64 m_dataChangedUs = -1;
    qint64 m_lastFallUs = -1;
    qint64 m_lastSampleUs = -1;
    qint64 m_mclrRoseUs = -1;
    qint64 m_mclrFellUs = -1;
    bool m_entryHeld = false; // clock and data untouched since MCLR rose
    // Violations within the frame being clocked in: they count once the frame
    // is complete, and go with it when MCLR drops first (a frame the chip never
    // finished, such as the self-test's few clocks, is reset away).
    QStringList m_frameViolations;
    QStringList m_violations;
    int m_violationCount = 0;

    std::set<int> m_refused;
    std::map<int, int> m_weak;
    int m_flipLoad = 0, m_flipBit = 0;
    int m_loseCommand = 0, m_loseNth = 0;
    int m_skipIncrement = 0;
    bool m_protected = false;
    int m_decodedIncrements = 0;
    Stats m_stats;
};
