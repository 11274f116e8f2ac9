// Whole-chip programming and reading on the simulated PIC with the real clock:
// the time a run takes against the waits the protocol cannot avoid (each
// chip's write times for the cycles made, and the fixed pauses of entering
// programming mode, the self-test and closing).
#include "SimulatedPic.h"
#include "SimulatedProgrammerBox.h"
#include "base/MainSettings.h"
#include "icsp/ChipTable.h"
#include "icsp/IcspChipOperations.h"
#include "icsp/IcspProgrammer.h"
#include "icsp/PicDevice.h"
#include "platform/Clock.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

PicDevice imageFor(const QString &chip)
{
    PicDevice d;
    d.setChip(*ChipTable::fixedChip(QStringLiteral("PIC-") + chip));
    d.InitMemoire();
    QRandomGenerator random(7);
    for (int k = 0; k < d.programByteCount() / 2; ++k)
        d.ImagePIC.setCodeWord(k, uint16_t(random.bounded(0x3FFF))); // never blank
    for (int j = 0; j < d.eepromByteCount(); ++j)
        d.ImagePIC.ImageEEPROM[size_t(j)] = uint8_t(random.bounded(0xFF));
    d.ImagePIC.ConfigWord = 0x3FF1;
    return d;
}

// Fixed pauses of one entry into programming mode, of the self-test and of closing.
constexpr double kEntryMs = 2 + 50 + 0.1;
constexpr double kSelfTestMs = 4 * 0.3;
constexpr double kCloseMs = 1;

double requiredWaitsMs(const SimulatedPic &pic, const ChipTraits &chip)
{
    const auto &s = pic.stats();
    return s.programCycles * chip.programMs + s.eepromCycles * chip.eepromMs +
           s.bulkErases * chip.eraseMs + s.programmingModeEntries * kEntryMs + kSelfTestMs +
           kCloseMs;
}

enum class Run { Write, Read };

void run(benchmark::State &state, const QString &chip, Run what)
{
    const Clock &clock = SteadyClock::instance();
    const ChipTraits traits = ChipTable::traitsOf(chip);
    double waits = 0, took = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SimulatedPic pic(clock, SimChipModel::byName(chip));
        pic.setRealChipBehaviour(true);
        SimulatedProgrammerBox box(pic, IcspLineSettings{});
        IcspProgrammer programmer(MainSettings{}, clock, box.opener());
        PicDevice device = imageFor(chip);
        if (what == Run::Read) {
            if (!WriteChip(programmer, device, 5).ok())
                state.SkipWithError("write failed");
        }
        SimulatedPic::Stats before = pic.stats();
        state.ResumeTiming();
        const qint64 start = clock.nowUs();
        const IcspResult r = what == Run::Write ? WriteChip(programmer, device, 5)
                                                : ReadChip(programmer, device, "AUTO");
        took = double(clock.nowUs() - start) / 1000;
        if (!r.ok())
            state.SkipWithError("operation failed");
        if (pic.timingViolations() > 0)
            state.SkipWithError("timing violations on the chip");
        if (what == Run::Read) {
            SimulatedPic::Stats s = pic.stats();
            waits = (s.programmingModeEntries - before.programmingModeEntries) * kEntryMs +
                    kSelfTestMs + kCloseMs;
        } else {
            waits = requiredWaitsMs(pic, traits);
        }
    }
    state.counters["took_ms"] = took;
    state.counters["waits_ms"] = waits;
    state.counters["ratio"] = took / waits;
}

void programAndVerify16F84A(benchmark::State &state)
{
    run(state, "16F84A", Run::Write);
}
void programAndVerify16F628(benchmark::State &state)
{
    run(state, "16F628", Run::Write);
}
void read16F84A(benchmark::State &state)
{
    run(state, "16F84A", Run::Read);
}

} // namespace

BENCHMARK(programAndVerify16F84A)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(programAndVerify16F628)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(read16F84A)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
