// Cost of reading and writing a full 16K-word image as Intel HEX and as
// scrambled HEX, for growing program sizes (words).
#include "firmware/HexFiles.h"
#include "icsp/PicDevice.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

PicDevice device(int words)
{
    PicDevice d;
    d.DeviceChip = "16F876A";
    d.DevicePgmSize = words;
    d.DeviceEESize = 256;
    d.InitMemoire();
    QRandomGenerator random(7);
    for (int k = 0; k < words; ++k)
        d.ImagePIC.setCodeWord(k, static_cast<uint16_t>(random.bounded(0x4000)));
    return d;
}

template <bool Scrambled> void writeFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const PicDevice d = device(static_cast<int>(state.range(0)));
    const QString path = dir.filePath("image.hex");
    for (auto _ : state) {
        const HexFileResult r = Scrambled ? EcrireFichierXeh(d, path) : EcrireFichierHex(d, path);
        if (!r.succeeded())
            state.SkipWithError("write failed");
    }
    state.SetComplexityN(state.range(0));
}

template <bool Scrambled> void readFile(benchmark::State &state)
{
    QTemporaryDir dir;
    PicDevice d = device(static_cast<int>(state.range(0)));
    const QString path = dir.filePath("image.hex");
    if (!(Scrambled ? EcrireFichierXeh(d, path) : EcrireFichierHex(d, path)).succeeded())
        state.SkipWithError("write failed");
    for (auto _ : state) {
        const HexFileResult r = Scrambled ? LireFichierXeh(d, path) : LireFichierHex(d, path);
        benchmark::DoNotOptimize(r.checksum);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(writeFile<false>)
    ->Name("EcrireFichierHex")
    ->RangeMultiplier(4)
    ->Range(1024, 16384)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(readFile<false>)
    ->Name("LireFichierHex")
    ->RangeMultiplier(4)
    ->Range(1024, 16384)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(writeFile<true>)
    ->Name("EcrireFichierXeh")
    ->RangeMultiplier(4)
    ->Range(1024, 16384)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(readFile<true>)
    ->Name("LireFichierXeh")
    ->RangeMultiplier(4)
    ->Range(1024, 16384)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
