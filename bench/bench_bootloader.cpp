// Bootloader downloads against the simulated module over a real pseudo-terminal.
// Paced at 57600 baud: a one-line curve download (hello and 64 frames, 1474 bytes
// on the wire, 0.256 s) and a 0x400-word firmware download (hello and 128 frames,
// 2946 bytes, 0.511 s); the counter "ratio" is the time taken over the wire time.
// Unpaced: the protocol's own cost per frame (round trip through the pty).
#include "ModuleSimulator.h"
#include "base/Jobs.h"
#include "bootloader/BootloaderDownloads.h"
#include "bootloader/BootloaderSession.h"
#include "firmware/TablePlacement.h"
#include "icsp/PicDevice.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr double BitsPerByte = 10; // start, 8 data, stop

BootloaderTexts texts()
{
    BootloaderTexts t;
    t.progressCode = "CODE";
    t.blocks = "blocks";
    return t;
}

// A one-line table plan at 0x300 / 0x500 with its tables placed.
std::pair<TablePlacement::Plan, PicDevice> curvePlan()
{
    TablePlacement::Plan plan;
    plan.lines = 1;
    plan.low = {0x300, 0x400};
    plan.high = {0x500, 0x600};
    QStringList table{"0782"};
    for (int i = 1; i < 256; ++i)
        table << QStringLiteral("34%1").arg(i, 2, 16, QChar('0')).toUpper();
    PicDevice device;
    TablePlacement::Placer(plan, {table, table, table, table}, device.ImagePIC);
    return {plan, device};
}

// Runs `download` against a simulator started with `baud` (0: unpaced);
// reports the mean time per download against `wireBytes` at that baud rate.
template <typename Download>
void run(benchmark::State &state, const char *label, int baud, int frames, int wireBytes,
         Download download)
{
    ModuleSimulator sim;
    QStringList args{"--bootloader"};
    if (baud > 0)
        args << "--baud" << QString::number(baud);
    sim.start(args);
    const QString device = sim.devicePath();
    BootloaderSession session;
    ConnectionRequest request;
    request.device = device;
    request.texts = texts();
    NullProgressSink sink;
    if (device.isEmpty() || !Connecter(session, request, sink, CancelToken{}).succeeded()) {
        state.SkipWithError("no connection to the simulated module");
        return;
    }
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const JobOutcome outcome = download(session, sink);
        const double seconds = t.nsecsElapsed() / 1e9;
        if (!outcome.succeeded()) {
            state.SkipWithError(qPrintable(outcome.message));
            break;
        }
        state.SetIterationTime(seconds);
        total += seconds;
        ++runs;
    }
    if (runs > 0) {
        const double mean = total / runs;
        state.counters["seconds"] = mean;
        state.counters["us_per_frame"] = 1e6 * mean / frames;
        if (baud > 0) {
            const double wire = wireBytes * BitsPerByte / baud;
            state.counters["wire_seconds"] = wire;
            state.counters["ratio"] = mean / wire;
            std::fprintf(stderr, "%s: %.4f s against %.4f s on the wire: %.3f x\n", label, mean,
                         wire, mean / wire);
        } else {
            std::fprintf(stderr, "%s: %.1f us per frame (%.4f s for %d frames)\n", label,
                         1e6 * mean / frames, mean, frames);
        }
    }
    Deconnecter(session, true, sink, CancelToken{});
}

void CurveLine(benchmark::State &state)
{
    const auto [plan, device] = curvePlan();
    run(state, "curve line", int(state.range(0)), 64, 2 + 64 * 23,
        [&](BootloaderSession &s, NullProgressSink &sink) {
            return TelechargerCourbes(s, device, plan, texts(), sink, CancelToken{});
        });
}

void Firmware400(benchmark::State &state)
{
    PicDevice device;
    for (int k = 0; k < 0x400; ++k)
        device.ImagePIC.setCodeWord(k, uint16_t((k * 0x2E3) & 0x3FFF));
    run(state, "firmware 0x400 words", int(state.range(0)), 128, 2 + 128 * 23,
        [&](BootloaderSession &s, NullProgressSink &sink) {
            return TelechargerFirmware(s, device, {0, 0x400}, texts(), sink, CancelToken{});
        });
}

} // namespace

BENCHMARK(CurveLine)->Arg(57600)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Firmware400)->Arg(57600)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
