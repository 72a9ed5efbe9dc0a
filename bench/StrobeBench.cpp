// One frame of the strobe band at the screen's rate: the phase of three partials over the
// 735 samples that arrive in a 60th of a second, and the drawing of the band at the pane's
// width. Its share of one core is the time per frame times 60.
#include "StrobePhase.h"
#include "StrobeView.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kFrameSamples = 735;

std::vector<std::int16_t> Tone(double hz) {
    std::vector<std::int16_t> samples(kFrameSamples * 60);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) / 44100.0;
        samples[i] = static_cast<std::int16_t>(6000.0 * std::sin(2 * M_PI * hz * t) +
                                               3000.0 * std::sin(4 * M_PI * hz * t));
    }
    return samples;
}

void BM_StrobePhase(benchmark::State& state) {
    StrobePhase phase;
    phase.SetTarget(440.0);
    const auto samples = Tone(441.0);
    std::size_t at = 0;
    for (auto _ : state) {
        phase.Process(std::span<const std::int16_t>(&samples[at], kFrameSamples));
        at = (at + kFrameSamples) % samples.size();
        benchmark::DoNotOptimize(phase.Offset(0));
    }
}
BENCHMARK(BM_StrobePhase)->Unit(benchmark::kMicrosecond);

// The argument is the band's width in pixels: the pane's first width, and a wide window.
void BM_StrobeFrame(benchmark::State& state) {
    StrobePhase phase;
    phase.SetTarget(440.0);
    const auto samples = Tone(441.0);
    const QRect rect(0, 0, static_cast<int>(state.range(0)),
                     StrobePhase::kRows * CStrobeView::kRowHeight + 2);
    QImage image(rect.size(), QImage::Format_RGB32);
    const QPalette palette = QApplication::palette();
    std::size_t at = 0;
    for (auto _ : state) {
        phase.Process(std::span<const std::int16_t>(&samples[at], kFrameSamples));
        at = (at + kFrameSamples) % samples.size();
        QPainter p(&image);
        CStrobeView::Draw(p, phase, rect, palette);
    }
}
BENCHMARK(BM_StrobeFrame)->Arg(340)->Arg(1200)->Unit(benchmark::kMicrosecond);

// What it costs the GUI thread to be woken at the screen's rate before a frame does anything:
// each iteration sleeps in Qt's event loop until a 16 ms timer fires. Its processor time (the
// kernel's task switches and one turn of the event loop) is the floor under any picture drawn
// at that rate; times 60, its share of one core.
void BM_ScreenRateWakeUp(benchmark::State& state) {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(16);
    for (auto _ : state) {
        loop.exec();
    }
}
BENCHMARK(BM_ScreenRateWakeUp)->Iterations(600)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
