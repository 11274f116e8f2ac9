// The live frame parser against the simulated module's line faults, in
// process: 10 million frames (VEK_BENCH_FRAMES) with the marker in data bytes,
// 1 % of frames after noise and 1 % damaged, fed in reads of 1 to 40 bytes.
// Reports frames decoded per second, false frames (decoded but never sent
// whole) and lost frames (sent whole, not decoded), per million; then the log
// text of a capture as the logger writes it.
#include "LineFaults.h"
#include "LiveProtocol.h"
#include "live/LiveFrameParser.h"
#include "live/LiveLogger.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <deque>

namespace {

qint64 frameCount()
{
    const qint64 n = qEnvironmentVariableIntValue("VEK_BENCH_FRAMES");
    return n > 0 ? n : 10'000'000;
}

// Matches decoded frames against the good frames sent, in order.
struct Tally {
    std::deque<TrameLive> expected;
    quint64 decoded = 0, falseFrames = 0, lost = 0;

    void onFrame(const TrameLive &f)
    {
        ++decoded;
        for (size_t k = 0; k < expected.size() && k < 4; ++k) {
            if (expected[k] == f) {
                lost += k;
                expected.erase(expected.begin(), expected.begin() + qsizetype(k) + 1);
                return;
            }
        }
        ++falseFrames;
    }
};

void LiveFrameFaults(benchmark::State &state)
{
    const qint64 frames = frameCount();
    for (auto _ : state) {
        LineFaults faults({0.01, 0.01, 0.125}, 2026);
        LiveProtocol module(1250);
        std::mt19937 cuts(7);
        LiveFrameParser parser;
        Tally tally;
        QByteArray stream;
        quint64 goodSent = 0, damagedSent = 0, bytes = 0;
        qint64 parseNs = 0;
        QElapsedTimer timer;
        auto feed = [&] {
            timer.start();
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype n = 1 + qsizetype(cuts() % 40);
                parser.feed(QByteArrayView(stream.constData() + at, qMin(n, stream.size() - at)),
                            [&](const TrameLive &f) { tally.onFrame(f); });
                at += n;
            }
            parseNs += timer.nsecsElapsed();
            bytes += quint64(stream.size());
            stream.clear();
        };
        for (qint64 i = 0; i < frames; ++i) {
            stream += faults.noise();
            TrameLive frame = module.nextFrame();
            faults.addMarker(frame);
            if (faults.damage(frame)) {
                ++damagedSent;
            } else {
                ++goodSent;
                tally.expected.push_back(frame);
            }
            stream += frame.toByteArray();
            if (stream.size() > 64 * 1024)
                feed();
        }
        feed();
        parser.finish([&](const TrameLive &f) { tally.onFrame(f); });
        tally.lost += tally.expected.size();

        const double perMillion = 1e6 / double(goodSent + damagedSent);
        state.counters["frames_sent"] = double(goodSent + damagedSent);
        state.counters["frames_damaged"] = double(damagedSent);
        state.counters["false_frames"] = double(tally.falseFrames);
        state.counters["false_per_million"] = double(tally.falseFrames) * perMillion;
        state.counters["lost_frames"] = double(tally.lost);
        state.counters["decode_Mframes_per_s"] = double(tally.decoded) / (double(parseNs) / 1e3);
        std::fprintf(stderr,
                     "sent %llu frames (%llu damaged, %llu bytes): decoded %llu, false %llu "
                     "(%.3f per million), lost %llu; parsing %.1f ns per frame\n",
                     goodSent + damagedSent, damagedSent, bytes, tally.decoded, tally.falseFrames,
                     double(tally.falseFrames) * perMillion, tally.lost,
                     double(parseNs) / double(goodSent + damagedSent));
    }
}

// The log text of one hour of capture at 1152 frames/s, as the logger builds it.
void LogOneHour(benchmark::State &state)
{
    LineFaults faults({0.01, 0.01, 0.125}, 9);
    LiveProtocol module(1250);
    QByteArray capture;
    for (int i = 0; i < 1152 * 3600; ++i) {
        capture += faults.noise();
        TrameLive frame = module.nextFrame();
        faults.addMarker(frame);
        faults.damage(frame);
        capture += frame.toByteArray();
    }
    int lines = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(LiveLogger::TexteLog(capture, &lines));
    state.counters["lines"] = lines;
    state.counters["capture_MB"] = double(capture.size()) / 1e6;
}

} // namespace

BENCHMARK(LiveFrameFaults)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(LogOneHour)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
