#pragma once

#include "AutoResetEvent.h"
#include "RealFft.h"
#include "WaveDevice.h"

#include <QEvent>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

class NoteTable;
class QObject;

// The sound engine: the capture device with its two cycling buffers, the capture thread that
// turns every block into the display spectrum and a display pitch estimate, and the output
// device that plays a synthesised reference tone or a looped clip.
//
// Everything but the capture thread runs on the GUI thread. A capture notification names the
// buffer that finished; since the device fills its buffers in queue order and posts in that
// order, blocks reach the block sink in the order they were filled. The capture thread never
// waits on the GUI thread: it publishes each spectrum with the pitch history as one immutable
// snapshot and posts WM_SPECTRUM_READY to the graph window when none is pending.
class CWaveEngine {
public:
    using Block = std::span<const std::int16_t, kBlockSamples>;

    static constexpr int kDisplayFftSize = ::kDisplayFftSize;
    static constexpr int kDisplayBins = kDisplayFftSize / 2;
    static constexpr int kHistoryLength = 20;

    struct DisplaySnapshot {
        std::vector<double> spectrum;               // kDisplayBins values, 44100/32768 Hz apart
        std::array<double, kHistoryLength> history; // display pitch estimates, newest last
        std::uint64_t serial = 0;                   // snapshots published before this one, + 1
    };

    CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                std::unique_ptr<IWaveOut> waveOut);
    ~CWaveEngine();

    CWaveEngine(const CWaveEngine&) = delete;
    CWaveEngine& operator=(const CWaveEngine&) = delete;

    // Sets the object that receives the device notifications and starts the capture thread.
    void Initialise(QObject* notify);

    // Each captured block, in fill order, on the GUI thread; the span is valid during the call.
    void SetBlockSink(std::function<void(Block)> sink) { m_blockSink = std::move(sink); }

    // Opens and starts capture; a failure is shown and leaves capture closed for a retry.
    void StartCapture();
    // The same without showing a failure: for trying again after one was shown. True when
    // capture is open.
    bool RetryCapture();
    // Stops and closes capture; WAVE_NOERROR when it was not open.
    WaveResult StopCapture();

    // Handles the device notifications (1): MM_WIM_DATA and MM_WOM_DONE whether or not the
    // device is open; MM_WIM_ERROR and MM_WOM_ERROR close the device and show the error once.
    // Anything else is not the engine's (0).
    int OnBufferDone(QEvent* e);

    // Opens the output and queues two silent buffers; the mode (and clip) must be set first.
    // Does nothing while open.
    void StartOutput();
    WaveResult StopOutput();

    bool IsCaptureOpen() const { return m_bCaptureOpen; }
    bool IsOutputOpen() const { return m_bOutputOpen; }
    // Told whenever the output opens or closes, whoever opened or closed it.
    void SetOutputListener(std::function<void()> listener) {
        m_outputListener = std::move(listener);
    }

    // The note of the tone is asked for at every refill, so a playing tone follows it. A4 until
    // a source is set.
    void SetSynthesisNoteSource(std::function<int()> note) { m_synthNote = std::move(note); }
    int SynthesisNote() const;
    double SynthesisPhase() const { return m_dPhase; }
    // Plays the synthesised tone (true) or the clip (false) from the next refill on.
    void SetSynthesis(bool synthesis) { m_bSynthesis = synthesis; }
    bool IsSynthesis() const { return m_bSynthesis; }
    // The engine keeps its own copy of the clip, looped without a gap.
    void SetClip(std::vector<std::int16_t> clip);

    // The graph window is told of new snapshots; nullptr stops that (call it before the window
    // goes away).
    void SetGraphWindow(QObject* graph);
    // The newest snapshot, never null; a reader may keep it as long as it likes. Taking it
    // allows the next WM_SPECTRUM_READY.
    std::shared_ptr<const DisplaySnapshot> Display() const;

private:
    bool OpenCapture(bool showFailure);
    void HandOverBlock(WaveHeader& header);
    void FillOutputBuffer(int i);
    void CaptureThreadProc(std::stop_token stop);
    void ComputeDisplaySpectrum();
    std::shared_ptr<DisplaySnapshot> FreeSnapshot();
    void StopCaptureThread();

    const NoteTable& m_notes;
    std::unique_ptr<IWaveIn> m_waveIn;
    std::unique_ptr<IWaveOut> m_waveOut;
    QObject* m_pNotify = nullptr;
    std::function<void(Block)> m_blockSink;
    std::function<void()> m_outputListener;
    std::function<int()> m_synthNote;

    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_captureBuffers{};
    std::array<WaveHeader, 2> m_captureHeaders{};
    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_outputBuffers{};
    std::array<WaveHeader, 2> m_outputHeaders{};

    bool m_bCaptureOpen = false;
    bool m_bOutputOpen = false;
    bool m_bSynthesis = true;
    double m_dPhase = 0.0;
    std::vector<std::int16_t> m_clip;
    std::size_t m_nClipPos = 0;

    // Shared with the capture thread.
    std::mutex m_engineMutex; // guards m_blockDoubles
    std::vector<double> m_blockDoubles;
    AutoResetEvent m_blockEvent;

    mutable std::mutex m_displayMutex; // guards m_display (the pointer, not the snapshot)
    std::shared_ptr<const DisplaySnapshot> m_display;
    mutable std::atomic<bool> m_bSpectrumPending{false};

    std::mutex m_graphMutex; // guards m_pGraph
    QObject* m_pGraph = nullptr;

    // The capture thread's own transform and spectrum.
    RealFft m_displayFft;
    std::vector<double> m_displaySpectrum;
    std::array<double, kHistoryLength> m_history{};
    std::uint64_t m_nSerial = 0;
    // Snapshots no one reads any more, kept so a block does not allocate its spectrum anew.
    struct SnapshotPool {
        std::mutex mutex; // guards free
        std::vector<std::unique_ptr<DisplaySnapshot>> free;
    };
    std::shared_ptr<SnapshotPool> m_pool = std::make_shared<SnapshotPool>();
    std::jthread m_captureThread;
};
