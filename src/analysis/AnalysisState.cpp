#include "AnalysisState.h"

#include "NoteTable.h"
#include "OctaveGuard.h"
#include "PitchEstimator.h"

#include <algorithm>

AnalysisState::AnalysisState(const NoteTable& notes)
    : m_notes(notes), m_spectrum(kFrameSamples / 2, 0.0) {}

AnalysisState::~AnalysisState() {
    StopWorker();
}

int AnalysisState::InitTransform() {
    return m_fft.Init(kFrameSamples);
}

void AnalysisState::StartWorker(ResultPoster postResult) {
    if (m_worker.joinable()) {
        return;
    }
    m_postResult = std::move(postResult);
    m_worker = std::jthread([this](std::stop_token stop) { WorkerLoop(stop); });
}

void AnalysisState::StopWorker() {
    if (m_worker.joinable()) {
        m_worker.request_stop();
        {
            // Between the worker's look at the stop flag and its wait, so the wake is not lost.
            std::lock_guard lock(m_wakeMutex);
        }
        m_wake.notify_all();
        m_worker.join();
    }
    // A frame offered but never analysed must not block the next start.
    m_nReady.store(0, std::memory_order_release);
}

void AnalysisState::ShiftInBlock(std::span<const std::int16_t> block) {
    std::lock_guard lock(m_mutex);
    ++m_nBlocks;
    m_nNewer = 1 - m_nNewer; // the older half is overwritten and becomes the newer
    const auto half = m_samples.begin() + m_nNewer * kBlockSamples;
    const std::size_t count = std::min<std::size_t>(block.size(), kBlockSamples);
    std::copy_n(block.begin(), count, half);
    std::fill(half + static_cast<std::ptrdiff_t>(count), half + kBlockSamples, std::int16_t{0});
}

void AnalysisState::PrepareFrame() {
    // The transform's window over the older block, then the newer, wherever they lie.
    std::lock_guard lock(m_mutex);
    const auto window = m_fft.Window();
    const auto real = m_fft.Real();
    const auto imag = m_fft.Imag();
    for (std::size_t i = 0; i < real.size(); ++i) {
        const std::size_t at = (i + static_cast<std::size_t>(1 - m_nNewer) * kBlockSamples) %
                               static_cast<std::size_t>(kFrameSamples);
        real[i] = m_samples[at] * window[i];
        imag[i] = 0.0;
    }
}

bool AnalysisState::OfferFrame(std::uint64_t tag) {
    if (IsBusy() || !m_fft.IsReady()) {
        return false;
    }
    TakeFrame(tag);
    {
        std::lock_guard lock(m_wakeMutex);
        m_nReady.store(1, std::memory_order_release);
    }
    m_wake.notify_one();
    return true;
}

void AnalysisState::TakeFrame(std::uint64_t tag) {
    PrepareFrame();
    m_frame = FrameResult{0.0, std::nullopt, tag, m_nBlocks};
    m_bCheckFrame = m_bOctaveCheck;
}

std::optional<double> AnalysisState::AnalyseNow() {
    const auto result = AnalyseFrameNow();
    return result ? std::optional<double>(result->hz) : std::nullopt;
}

std::optional<AnalysisState::FrameResult> AnalysisState::AnalyseFrameNow(std::uint64_t tag) {
    if (IsWorkerRunning() || !m_fft.IsReady()) {
        return std::nullopt;
    }
    TakeFrame(tag);
    AnalyseFrame();
    return m_frame;
}

bool AnalysisState::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (IsBusy()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::vector<std::int16_t> AnalysisState::Samples() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::int16_t> samples(m_samples.begin(), m_samples.end());
    std::rotate(samples.begin(), samples.begin() + (1 - m_nNewer) * kBlockSamples, samples.end());
    return samples;
}

void AnalysisState::WorkerLoop(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (m_nReady.load(std::memory_order_acquire) != 0) {
            AnalyseFrame();
            if (m_postResult) {
                m_postResult(m_frame);
            }
            m_nReady.store(0, std::memory_order_release);
        } else {
            // Idle: sleeps until a frame is offered or a stop is requested.
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait(lock, [this, &stop] {
                return m_nReady.load(std::memory_order_acquire) != 0 || stop.stop_requested();
            });
        }
    }
}

void AnalysisState::AnalyseFrame() {
    m_fft.Transform();
    m_fft.MagnitudeSpectrum(m_spectrum);
    const double hz = EstimatePitch(m_spectrum, m_fft.Count(), m_notes.Frequency(kNoteFirst),
                                    m_notes.Frequency(kNoteLast));
    m_frame.hz = hz;
    if (m_bCheckFrame) {
        const OctaveGuard guard(m_notes.Frequency(kNoteFirst), m_notes.Frequency(kNoteLast));
        m_frame.octave = guard.Check(m_spectrum, m_fft.Count(), hz);
    }
    m_dResult.store(hz, std::memory_order_release);
}
