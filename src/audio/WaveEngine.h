#pragma once

#include "AutoResetEvent.h"
#include "RealFft.h"
#include "WaveDevice.h"

#include <QEvent>

#include <array>
#include <atomic>
#include <cstdint>
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
// Everything but the capture thread runs on the GUI thread. The capture thread never waits on
// the GUI thread: it publishes each finished spectrum and the pitch history as one snapshot,
// posts WM_SPECTRUM_READY to the graph window, and the graph copies the snapshot when it draws.
class CWaveEngine {
public:
    static constexpr int kDisplayFftSize = 2 * kBlockSamples;
    static constexpr int kDisplayBins = kBlockSamples;
    static constexpr int kHistoryLength = 20;

    struct DisplaySnapshot {
        std::vector<double> spectrum;               // kDisplayBins values, 44100/32768 Hz apart
        std::array<double, kHistoryLength> history; // display pitch estimates, newest last
        std::uint64_t serial = 0;                   // spectra published so far
    };

    CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                std::unique_ptr<IWaveOut> waveOut);
    ~CWaveEngine();

    CWaveEngine(const CWaveEngine&) = delete;
    CWaveEngine& operator=(const CWaveEngine&) = delete;

    // Sets the object that receives the device notifications and starts the capture thread.
    void Initialise(QObject* notify);

    // Opens and starts capture; a failure is shown and leaves capture closed for a retry.
    void StartCapture();
    // Stops and closes capture; WAVE_NOERROR when it was not open.
    WaveResult StopCapture();

    // Handles MM_WIM_DATA and MM_WOM_DONE (1), whether or not the device is open; anything
    // else is not the engine's (0).
    int OnBufferDone(QEvent::Type type);

    // Opens the output and queues two silent buffers; the mode and note (or clip) must be set
    // first. Does nothing while open.
    void StartOutput();
    WaveResult StopOutput();

    bool IsCaptureOpen() const { return m_bCaptureOpen; }
    bool IsOutputOpen() const { return m_bOutputOpen; }

    // The tone: the synthesis note is read at every refill, so a playing tone follows it.
    void SetSynthesisNote(int note) { m_nSynthNote = note; }
    int SynthesisNote() const { return m_nSynthNote; }
    double SynthesisPhase() const { return m_dPhase; }
    // Plays the synthesised tone (true) or the clip (false) from the next refill on.
    void SetSynthesis(bool synthesis) { m_bSynthesis = synthesis; }
    bool IsSynthesis() const { return m_bSynthesis; }
    // The engine keeps its own copy of the clip, looped without a gap.
    void SetClip(std::vector<std::int16_t> clip);

    // The most recent captured block, and how many blocks have been handed over so far.
    std::span<const std::int16_t, kBlockSamples> LatestBlock() const { return m_latestBlock; }
    std::uint64_t BlockSerial() const { return m_nBlockSerial; }

    // The graph window is told of every new spectrum; nullptr stops that (call it before the
    // window goes away).
    void SetGraphWindow(QObject* graph);
    DisplaySnapshot Display() const;

private:
    void HandOverBlock(int i);
    void FillOutputBuffer(int i);
    void CaptureThreadProc(std::stop_token stop);
    void StopCaptureThread();

    const NoteTable& m_notes;
    std::unique_ptr<IWaveIn> m_waveIn;
    std::unique_ptr<IWaveOut> m_waveOut;
    QObject* m_pNotify = nullptr;

    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_captureBuffers{};
    std::array<WaveHeader, 2> m_captureHeaders{};
    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_outputBuffers{};
    std::array<WaveHeader, 2> m_outputHeaders{};
    std::array<std::int16_t, kBlockSamples> m_latestBlock{};
    std::uint64_t m_nBlockSerial = 0;

    bool m_bCaptureOpen = false;
    bool m_bOutputOpen = false;
    bool m_bSynthesis = true;
    double m_dPhase = 0.0;
    int m_nSynthNote = 48;
    std::vector<std::int16_t> m_clip;
    std::size_t m_nClipPos = 0;

    // Shared with the capture thread.
    std::mutex m_engineMutex; // guards m_blockDoubles
    std::vector<double> m_blockDoubles;
    AutoResetEvent m_blockEvent;

    mutable std::mutex m_displayMutex; // guards m_display
    DisplaySnapshot m_display;

    std::mutex m_graphMutex; // guards m_pGraph
    QObject* m_pGraph = nullptr;

    // The capture thread's own transform and spectrum.
    RealFft m_displayFft;
    std::vector<double> m_displaySpectrum;
    std::jthread m_captureThread;
};
