#include "DisplayAnalyser.h"

#include "NoteTable.h"
#include "PitchEstimator.h"
#include "PostEvent.h"
#include "WaveEngine.h"

#include <algorithm>

namespace {
constexpr int kDisplayLowestNote = 20;       // E1: the display estimate ignores lower bins
constexpr double kDisplayScale = 1.0 / 8192; // 2 / the 16384 real samples of the frame
constexpr std::size_t kSnapshotsKept = 4;    // enough for a reader or two and the newest
} // namespace

DisplayAnalyser::DisplayAnalyser(const NoteTable& notes, CWaveEngine& engine)
    : m_notes(notes), m_engine(engine), m_block(kBlockSamples, 0.0), m_fft(kDisplayFftSize),
      m_spectrum(kDisplayBins, 0.0) {
    auto first = std::make_shared<DisplaySnapshot>();
    first->spectrum.assign(kDisplayBins, 0.0);
    first->history.fill(0.0);
    m_display = first;
    m_engine.AddCaptureListener(this);
    Start();
}

DisplayAnalyser::~DisplayAnalyser() {
    m_engine.RemoveCaptureListener(this);
    SetGraphWindow(nullptr);
    Stop();
}

void DisplayAnalyser::Start() {
    if (!m_thread.joinable()) {
        m_thread = std::jthread([this](std::stop_token stop) { ThreadProc(stop); });
    }
}

void DisplayAnalyser::Stop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_wake.Set();
        m_thread.join();
    }
}

void DisplayAnalyser::Push(Block block) {
    {
        std::lock_guard lock(m_blockMutex);
        std::copy(block.begin(), block.end(), m_block.begin());
        m_bBlockPending = true;
    }
    m_wake.Set();
}

void DisplayAnalyser::Clear() {
    {
        std::lock_guard lock(m_blockMutex);
        m_bBlockPending = false;
        m_bClearPending = true;
    }
    m_wake.Set();
}

void DisplayAnalyser::ThreadProc(std::stop_token stop) {
    for (;;) {
        m_wake.Wait();
        if (stop.stop_requested()) {
            return;
        }
        bool clear = false;
        bool block = false;
        {
            std::lock_guard lock(m_blockMutex);
            clear = std::exchange(m_bClearPending, false);
            block = std::exchange(m_bBlockPending, false);
            if (block) {
                // The rest of the input is the block's zero padding, zeroed when the transform
                // was made; the plan never writes to its input.
                std::copy(m_block.begin(), m_block.end(), m_fft.Input().begin());
            }
        }
        if (clear) {
            std::fill(m_spectrum.begin(), m_spectrum.end(), 0.0);
            m_history.fill(0.0);
        }
        if (block) {
            Analyse();
        }
        if (clear || block) {
            Publish();
        }
    }
}

void DisplayAnalyser::Analyse() {
    m_fft.Transform();
    m_fft.Magnitudes(m_spectrum, kDisplayScale);
    const double pitch =
        EstimatePitch(m_spectrum, kDisplayFftSize, m_notes.Frequency(kDisplayLowestNote),
                      m_notes.Frequency(kNoteLast));
    std::shift_left(m_history.begin(), m_history.end(), 1);
    m_history.back() = pitch;
}

void DisplayAnalyser::Publish() {
    const std::shared_ptr<DisplaySnapshot> next = FreeSnapshot();
    next->spectrum.assign(m_spectrum.begin(), m_spectrum.end());
    next->history = m_history;
    next->serial = ++m_nSerial;
    {
        std::lock_guard lock(m_displayMutex);
        m_display = next;
    }
    {
        std::lock_guard lock(m_graphMutex);
        if (m_pGraph && !m_bSpectrumPending.exchange(true)) {
            PostEvent(m_pGraph, new QEvent(WM_SPECTRUM_READY));
        }
    }
    m_nPublished.fetch_add(1); // after the post, so a reader that sees it finds the event
}

std::shared_ptr<DisplayAnalyser::DisplaySnapshot> DisplayAnalyser::FreeSnapshot() {
    std::unique_ptr<DisplaySnapshot> snapshot;
    {
        std::lock_guard lock(m_pool->mutex);
        if (!m_pool->free.empty()) {
            snapshot = std::move(m_pool->free.back());
            m_pool->free.pop_back();
        }
    }
    if (!snapshot) {
        snapshot = std::make_unique<DisplaySnapshot>();
        snapshot->spectrum.reserve(kDisplayBins);
    }
    // Whoever lets go of it last, reader or analyser, gives it back through the pool's lock,
    // so its next writer sees every read of it finished. The pool outlives the analyser as
    // long as a snapshot is still held.
    return std::shared_ptr<DisplaySnapshot>(snapshot.release(),
                                            [pool = m_pool](DisplaySnapshot* released) {
                                                std::unique_ptr<DisplaySnapshot> owned(released);
                                                std::lock_guard lock(pool->mutex);
                                                if (pool->free.size() < kSnapshotsKept) {
                                                    pool->free.push_back(std::move(owned));
                                                }
                                            });
}

void DisplayAnalyser::SetGraphWindow(QObject* graph) {
    std::lock_guard lock(m_graphMutex);
    m_pGraph = graph;
    m_bSpectrumPending = false;
}

std::shared_ptr<const DisplayAnalyser::DisplaySnapshot> DisplayAnalyser::Display() const {
    m_bSpectrumPending = false;
    std::lock_guard lock(m_displayMutex);
    return m_display;
}
