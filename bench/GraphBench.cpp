// One frame of the spectrum pane: the fill, the outline polygon (one vertex per pixel column
// that has a bin), 20 markers, the AND combine and the copy to the screen's surface. And a
// paint with nothing new to show, which only copies the exposed rectangle.
#include "Doreme.h"
#include "GraphSurfaces.h"

#include <QGuiApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> g_allocations{0};
} // namespace

// Counts every allocation of the process, so the benchmark can report those a frame makes.
void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// A harmonic tone over a noise floor: peaks and valleys in every column.
std::vector<double> TestSpectrum() {
    std::vector<double> spectrum(16384);
    for (std::size_t b = 0; b < spectrum.size(); ++b) {
        spectrum[b] =
            300.0 + 250.0 * std::sin(0.37 * static_cast<double>(b)) + (b % 327 == 0 ? 6000.0 : 0.0);
    }
    return spectrum;
}

std::vector<double> TestHistory() {
    std::vector<double> history(20);
    for (std::size_t i = 0; i < history.size(); ++i) {
        history[i] = 430.0 + static_cast<double>(i);
    }
    return history;
}

void BM_GraphFrame(benchmark::State& state) {
    CDoreme doreme;
    GraphSurfaces surfaces(doreme.Notes());
    const std::vector<double> spectrum = TestSpectrum();
    const std::vector<double> history = TestHistory();
    QImage screen(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32);
    QPainter copy(&screen);
    surfaces.DrawFrame(spectrum, history); // the background, once

    long allocations = 0;
    for (auto _ : state) {
        const long before = g_allocations;
        surfaces.DrawFrame(spectrum, history);
        copy.drawImage(0, 0, surfaces.Compose());
        allocations += g_allocations - before;
    }
    state.counters["vertices"] = static_cast<double>(surfaces.Outline().size());
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GraphFrame)->Unit(benchmark::kMillisecond);

// What the pane does on a paint for a snapshot it has shown already (a scroll, an expose, a
// tooltip): the composition is skipped and the exposed part copied. The argument is the
// exposed width: 620 is the whole view of the pane in the window's first size, 1821 the whole
// canvas.
void BM_GraphPaintUnchanged(benchmark::State& state) {
    CDoreme doreme;
    GraphSurfaces surfaces(doreme.Notes());
    const std::vector<double> spectrum = TestSpectrum();
    const std::vector<double> history = TestHistory();
    QImage screen(GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32);
    QPainter copy(&screen);
    surfaces.Refresh(1, spectrum, history);
    const int width = static_cast<int>(state.range(0));
    const QRect exposed(GraphScale::kWidth - width, 0, width, GraphScale::kHeight);

    for (auto _ : state) {
        surfaces.Refresh(1, spectrum, history);
        copy.drawImage(exposed, surfaces.Compose(), exposed);
    }
    state.counters["compositions"] = static_cast<double>(surfaces.Compositions());
}
BENCHMARK(BM_GraphPaintUnchanged)->Arg(620)->Arg(1821)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
