// Cost of one block of the every-string measurement for a six-string guitar, with all strings
// ringing, as the instrument view runs it on the GUI thread.
#include "AudioFormat.h"
#include "Doreme.h"
#include "StrumMeasurement.h"
#include "StrumSynth.h"

#include <benchmark/benchmark.h>

namespace {

void BM_StrumPerBlock(benchmark::State& state) {
    CDoreme doreme;
    std::vector<double> notes;
    std::vector<SynthString> strings;
    for (const int n : {19, 24, 29, 34, 38, 43}) {
        notes.push_back(doreme.Frequency(n));
        SynthString s;
        s.hz = notes.back() * 1.003;
        s.start = 0.01 * static_cast<double>(strings.size());
        s.amplitude = 0.08;
        s.decay = 10.0;
        strings.push_back(s);
    }
    std::vector<double> sound(8 * kBlockSamples);
    AddStrings(sound, strings, 1);
    const auto samples = ToSamples(sound);
    StrumMeasurement measurement(notes);
    std::size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            measurement.AppendBlock(std::span(samples).subspan(at, kBlockSamples)));
        at = (at + kBlockSamples) % samples.size();
    }
    state.counters["ms_per_block"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StrumPerBlock)->Unit(benchmark::kMillisecond);

} // namespace
