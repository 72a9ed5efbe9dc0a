// Cost of one block through the whole offline pipeline (hand-off, analysis, read-out), per
// mode, as quavelorin-analyze runs it on a file.
#include "Doreme.h"
#include "OfflineAnalysis.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

constexpr int kBlocks = 16;

std::vector<std::int16_t> Tone(double hz) {
    std::vector<std::int16_t> samples(16384 * kBlocks);
    const double twoPi = 8.0 * std::atan(1.0);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        samples[i] = static_cast<std::int16_t>(8000.0 * std::sin(twoPi * hz * t) +
                                               4000.0 * std::sin(2 * twoPi * hz * t));
    }
    return samples;
}

// mode 0: automatic, 1: note-locked, 2: precise automatic.
void BM_OfflinePerBlock(benchmark::State& state) {
    const auto mode = state.range(0);
    CDoreme doreme;
    const auto samples = Tone(440.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseSamples(
            samples, doreme, mode == 1 ? std::optional<int>(48) : std::nullopt, mode == 2));
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
    state.counters["ms_per_block"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kBlocks),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_OfflinePerBlock)->ArgName("mode")->Arg(0)->Arg(1)->Arg(2)->UseRealTime();

} // namespace
