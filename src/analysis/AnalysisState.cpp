#include "AnalysisState.h"

#include "FftInPlace.h"
#include "NoteTable.h"
#include "PitchEstimator.h"

#include <algorithm>

namespace {
constexpr auto kIdlePoll = std::chrono::milliseconds(10);
}

AnalysisState::AnalysisState(const NoteTable& notes)
    : m_notes(notes), m_spectrum(kFrameSamples / 2, 0.0) {}

AnalysisState::~AnalysisState() {
    StopWorker();
}

int AnalysisState::InitTransform() {
    return m_fft.Init(kFrameSamples);
}

void AnalysisState::StartWorker(std::function<void()> postResult) {
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
    std::copy(m_samples.begin() + kBlockSamples, m_samples.end(), m_samples.begin());
    const std::size_t count = std::min<std::size_t>(block.size(), kBlockSamples);
    std::copy_n(block.begin(), count, m_samples.begin() + kBlockSamples);
    std::fill(m_samples.begin() + kBlockSamples + count, m_samples.end(), std::int16_t{0});
}

bool AnalysisState::OfferFrame() {
    if (IsBusy() || !m_fft.IsReady()) {
        return false;
    }
    {
        std::lock_guard lock(m_mutex);
        m_fft.PrepareFrame(m_samples);
    }
    {
        std::lock_guard lock(m_wakeMutex);
        m_nReady.store(1, std::memory_order_release);
    }
    m_wake.notify_one();
    return true;
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
    return {m_samples.begin(), m_samples.end()};
}

void AnalysisState::WorkerLoop(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (m_nReady.load(std::memory_order_acquire) != 0) {
            AnalyseFrame();
            if (m_postResult) {
                m_postResult();
            }
            m_nReady.store(0, std::memory_order_release);
        } else {
            // Idle: wakes when a frame is offered or a stop is requested, and looks again
            // every 10 ms in any case.
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_for(lock, kIdlePoll, [this, &stop] {
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
    m_dResult.store(hz, std::memory_order_release);
}
