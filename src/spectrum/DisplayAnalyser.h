#pragma once

#include "AudioFormat.h"
#include "AutoResetEvent.h"
#include "CaptureListener.h"
#include "Messages.h"
#include "RealFft.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

class CWaveEngine;
class NoteTable;
class QObject;

// A new display snapshot is published (display analyser -> graph window): a plain QEvent.
constexpr QEvent::Type WM_SPECTRUM_READY = MessageType(WM_APP_BASE + 5);

// The spectrum pane's analysis, on a thread of its own: every block the engine captures becomes the
// display spectrum and a display pitch estimate, published with the last 20 estimates as one
// immutable snapshot. The graph window is told by WM_SPECTRUM_READY, posted only when none is
// pending, and reads the newest snapshot whenever it likes; this thread never waits on it.
//
// The thread sleeps on its event until a block or a clear arrives, or shut-down wakes it.
// Clear (nothing is heard any more) publishes an empty spectrum and history, so the pane
// never shows what was heard before an outage.
class DisplayAnalyser : private ICaptureListener {
public:
    using Block = ICaptureListener::Block;

    static constexpr int kDisplayBins = kDisplayFftSize / 2;
    static constexpr int kHistoryLength = 20;

    struct DisplaySnapshot {
        std::vector<double> spectrum;               // kDisplayBins values, 44100/32768 Hz apart
        std::array<double, kHistoryLength> history; // display pitch estimates, newest last
        std::uint64_t serial = 0;                   // snapshots published before this one, + 1
    };

    // Listens to the engine's capture, and runs its thread, for as long as it lives.
    DisplayAnalyser(const NoteTable& notes, CWaveEngine& engine);
    ~DisplayAnalyser();

    DisplayAnalyser(const DisplayAnalyser&) = delete;
    DisplayAnalyser& operator=(const DisplayAnalyser&) = delete;

    // Starts the thread; does nothing while it runs. Stop joins it.
    void Start();
    void Stop();

    // A captured block; a block not yet taken when the next arrives is replaced by it.
    void Push(Block block);
    void Clear();

    // nullptr stops the notifications (call it before the window goes away).
    void SetGraphWindow(QObject* graph);
    // The newest snapshot, never null; taking it allows the next WM_SPECTRUM_READY.
    std::shared_ptr<const DisplaySnapshot> Display() const;
    // Snapshots published so far, the graph told of each or not; taking none.
    std::uint64_t Published() const { return m_nPublished.load(); }

private:
    void OnCapturedBlock(Block block) override { Push(block); }
    void OnCaptureLost() override { Clear(); }
    void ThreadProc(std::stop_token stop);
    void Analyse();
    void Publish();
    std::shared_ptr<DisplaySnapshot> FreeSnapshot();

    const NoteTable& m_notes;
    CWaveEngine& m_engine;
    AutoResetEvent m_wake;

    std::mutex m_blockMutex; // guards the three below; GUI thread and this thread
    std::vector<double> m_block;
    bool m_bBlockPending = false;
    bool m_bClearPending = false;

    mutable std::mutex m_displayMutex; // guards m_display (the pointer, not the snapshot)
    std::shared_ptr<const DisplaySnapshot> m_display;
    mutable std::atomic<bool> m_bSpectrumPending{false};
    std::atomic<std::uint64_t> m_nPublished{0};

    std::mutex m_graphMutex; // guards m_pGraph
    QObject* m_pGraph = nullptr;

    // This thread's own transform, spectrum and history.
    RealFft m_fft;
    std::vector<double> m_spectrum;
    std::array<double, kHistoryLength> m_history{};
    std::uint64_t m_nSerial = 0;
    // Snapshots no one reads any more, kept so a block does not allocate its spectrum anew.
    struct SnapshotPool {
        std::mutex mutex; // guards free
        std::vector<std::unique_ptr<DisplaySnapshot>> free;
    };
    std::shared_ptr<SnapshotPool> m_pool = std::make_shared<SnapshotPool>();
    std::jthread m_thread;
};
