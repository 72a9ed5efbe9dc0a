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

// The pane's surfaces with a harmonic tone over a noise floor (peaks and valleys in every
// column) and 20 pitch estimates, and a screen-sized surface to copy frames to.
struct Scene {
    Scene() {
        for (std::size_t b = 0; b < spectrum.size(); ++b) {
            spectrum[b] = 300.0 + 250.0 * std::sin(0.37 * static_cast<double>(b)) +
                          (b % 327 == 0 ? 6000.0 : 0.0);
        }
        for (std::size_t i = 0; i < history.size(); ++i) {
            history[i] = 430.0 + static_cast<double>(i);
        }
        surfaces.Refresh(1, spectrum, history); // the background, once
    }

    CDoreme doreme;
    GraphSurfaces surfaces{doreme.Notes()};
    std::vector<double> spectrum = std::vector<double>(16384);
    std::vector<double> history = std::vector<double>(20);
    QImage screen{GraphScale::kWidth, GraphScale::kHeight, QImage::Format_RGB32};
    QPainter copy{&screen};
};

void BM_GraphFrame(benchmark::State& state) {
    Scene scene;
    long allocations = 0;
    for (auto _ : state) {
        const long before = g_allocations;
        scene.surfaces.DrawFrame(scene.spectrum, scene.history);
        scene.copy.drawImage(0, 0, scene.surfaces.Compose());
        allocations += g_allocations - before;
    }
    state.counters["vertices"] = static_cast<double>(scene.surfaces.Outline().size());
    state.counters["allocations_per_frame"] =
        static_cast<double>(allocations) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GraphFrame)->Unit(benchmark::kMillisecond);

// What the pane does on a paint for a snapshot it has shown already (a scroll, an expose, a
// tooltip): the composition is skipped and the exposed part copied. The argument is the
// exposed width: 620 is the whole view of the pane in the window's first size, 1821 the whole
// canvas.
void BM_GraphPaintUnchanged(benchmark::State& state) {
    Scene scene;
    const int width = static_cast<int>(state.range(0));
    const QRect exposed(GraphScale::kWidth - width, 0, width, GraphScale::kHeight);
    for (auto _ : state) {
        scene.surfaces.Refresh(1, scene.spectrum, scene.history);
        scene.copy.drawImage(exposed, scene.surfaces.Compose(), exposed);
    }
    state.counters["compositions"] = static_cast<double>(scene.surfaces.Compositions());
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
