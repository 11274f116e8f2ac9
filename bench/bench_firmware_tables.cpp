// Cost of building the four lookup tables of one curve set (high and low tables
// of both curve columns) for curves of growing size.
#include "firmware/TableGenerationPrompts.h"
#include "firmware/TableGenerator.h"

#include <benchmark/benchmark.h>

namespace {

class AcceptAll : public TableGenerationPrompts
{
public:
    bool askTruncation(const QString &, const QString &) override { return true; }
    void showError(const QString &, const QString &) override {}
};

CurveGridSnapshot curve(int points)
{
    CurveGridSnapshot g;
    g.rows << QStringList{"Rpm", "Atmo", "Turbo"};
    for (int p = 0; p < points; ++p) {
        const double rpm = 735 + (15000.0 - 735) * p / std::max(1, points - 1);
        const double advance = 5 + 25.0 * p / std::max(1, points - 1);
        g.rows << QStringList{QString::number(rpm, 'f', 0), QString::number(advance, 'f', 1),
                              QString::number(advance / 2, 'f', 1)};
    }
    return g;
}

TableHeaderSnapshot header()
{
    TableHeaderSnapshot h;
    h.Txt_rpm_maxi = "9000";
    h.CmbAvanceBasRegime = "4.0";
    h.Txt_av_statique = "40";
    h.TxtDwell = "3.0";
    h.TxtDureeRetardCliquetis = "20";
    return h;
}

template <bool Type88> void tableSet(benchmark::State &state)
{
    const CurveGridSnapshot grid = curve(static_cast<int>(state.range(0)));
    const TableHeaderSnapshot h = header();
    AcceptAll prompts;
    FirmwareTable low, high;
    for (auto _ : state) {
        TableGenerator gen(h, prompts);
        int16_t result = 0;
        for (int col = 1; col <= 2; ++col) {
            if (Type88) {
                result |= gen.GenereHTAB16(high, grid, 40, col);
                result |= gen.GenereLTAB16(low, grid, 40, col);
            } else {
                result |= gen.GenereHTAB8(high, grid, 40, col);
                result |= gen.GenereLTAB8(low, grid, 40, col);
            }
        }
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(low[100].constData());
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(tableSet<false>)
    ->Name("TableSet_type8")
    ->Arg(3)
    ->Arg(50)
    ->Arg(500)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
BENCHMARK(tableSet<true>)
    ->Name("TableSet_type88")
    ->Arg(3)
    ->Arg(50)
    ->Arg(500)
    ->Unit(benchmark::kMicrosecond)
    ->Complexity(benchmark::oN);
