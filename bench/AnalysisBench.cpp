// Cost of the analysis kernels per captured block. A block is 16384 samples, 0.3715 s at
// 44100 Hz; every figure should be read as a share of that period.
#include "AnalysisState.h"
#include "BlockPipeline.h"
#include "ComplexFft.h"
#include "Doreme.h"
#include "Fft.h"
#include "NoteLockedMeasurement.h"
#include "PitchEstimator.h"
#include "RealFft.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const double kPi = 4.0 * std::atan(1.0);
constexpr int kTunerFftSize = AnalysisState::kFrameSamples;
constexpr int kNoteLockedFftSize = NoteLockedMeasurement::kSize;

std::vector<std::int16_t> Tone(std::size_t count, double hz) {
    std::vector<std::int16_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        samples[i] = static_cast<std::int16_t>(
            6000.0 * (std::sin(2 * kPi * hz * t) + 0.5 * std::sin(4 * kPi * hz * t)));
    }
    return samples;
}

// The analysis worker's frame: window, 32768-point transform, magnitude, estimate.
void BM_TunerFrame(benchmark::State& state) {
    CDoreme doreme;
    CFft fft;
    fft.Init(kTunerFftSize);
    const auto samples = Tone(kTunerFftSize, 440.0);
    std::vector<double> spectrum(kTunerFftSize / 2);
    for (auto _ : state) {
        fft.PrepareFrame(samples);
        fft.Transform();
        fft.MagnitudeSpectrum(spectrum);
        benchmark::DoNotOptimize(
            EstimatePitch(spectrum, kTunerFftSize, doreme.Frequency(0), doreme.Frequency(87)));
    }
}
BENCHMARK(BM_TunerFrame)->Unit(benchmark::kMillisecond);

// The capture thread's display transform of one zero-padded block, and the same with its
// magnitudes and display estimate: everything the capture thread does with a block.
template <bool WholePath> void BM_DisplayTransform(benchmark::State& state) {
    CDoreme doreme;
    const auto samples = Tone(16384, 440.0);
    RealFft fft(kDisplayFftSize);
    std::vector<double> spectrum(kDisplayFftSize / 2);
    for (auto _ : state) {
        std::fill(fft.Input().begin(), fft.Input().end(), 0.0);
        std::copy(samples.begin(), samples.end(), fft.Input().begin());
        fft.Transform();
        if constexpr (WholePath) {
            fft.Magnitudes(spectrum, 1.0 / 8192);
            benchmark::DoNotOptimize(EstimatePitch(spectrum, kDisplayFftSize, doreme.Frequency(20),
                                                   doreme.Frequency(87)));
        }
        benchmark::DoNotOptimize(fft.Input().data());
    }
}
BENCHMARK(BM_DisplayTransform<false>)->Name("BM_DisplayTransform")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DisplayTransform<true>)->Name("BM_DisplayPathPerBlock")->Unit(benchmark::kMillisecond);

// The note-locked band-pass filter: one forward and one inverse 16384-point transform.
void BM_NoteLockedFilterPair(benchmark::State& state) {
    const auto samples = Tone(kNoteLockedFftSize, 440.0);
    std::vector<double> re(kNoteLockedFftSize), im(kNoteLockedFftSize);
    ComplexFft fft(kNoteLockedFftSize);
    for (auto _ : state) {
        std::copy(samples.begin(), samples.end(), re.begin());
        std::fill(im.begin(), im.end(), 0.0);
        fft.Forward(re, im);
        fft.Inverse(re, im);
        benchmark::DoNotOptimize(re.data());
    }
}
BENCHMARK(BM_NoteLockedFilterPair)->Unit(benchmark::kMillisecond);

// The worker path of one block on the GUI thread and the worker: hand-off, frame preparation,
// then the worker's transform, magnitude and estimate, waited for. Its CPU time counts both
// threads; its wall time includes the 1 ms steps of the wait.
void BM_WorkerPathPerBlock(benchmark::State& state) {
    CDoreme doreme;
    AnalysisState analysis(doreme.Notes());
    NoteLockedMeasurement meter;
    BlockPipeline pipeline(analysis, meter, doreme.Notes());
    analysis.InitTransform();
    analysis.StartWorker({});
    const auto block = Tone(kBlockSamples, 440.0);
    for (auto _ : state) {
        pipeline.HandOverBlock(block, 48);
        pipeline.Dispatch(48, true);
        analysis.WaitUntilIdle(std::chrono::seconds(5));
    }
    analysis.StopWorker();
}
BENCHMARK(BM_WorkerPathPerBlock)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The note-locked path of one block, all on the GUI thread: hand-off and measurement, for a
// note that keeps every sample (A4) and one that decimates by eight (A0).
void BM_NoteLockedPathPerBlock(benchmark::State& state) {
    const int note = static_cast<int>(state.range(0));
    CDoreme doreme;
    AnalysisState analysis(doreme.Notes());
    NoteLockedMeasurement meter;
    BlockPipeline pipeline(analysis, meter, doreme.Notes());
    const auto block = Tone(kBlockSamples, doreme.Frequency(note));
    for (auto _ : state) {
        pipeline.HandOverBlock(block, note);
        benchmark::DoNotOptimize(pipeline.Dispatch(note, false));
    }
}
BENCHMARK(BM_NoteLockedPathPerBlock)->Arg(48)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
