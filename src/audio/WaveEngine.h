#pragma once

#include "CaptureCycle.h"
#include "CaptureListener.h"
#include "ReferenceTone.h"
#include "ToneOutput.h"
#include "WaveDevice.h"

#include <QEvent>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class NoteTable;
class QObject;

// The sound engine, put together from its parts: capture cycling, and the tone output that
// plays a synthesised reference tone or a looped clip. Everything runs on the GUI thread.
//
// Every captured block goes to the block sink and to each capture listener (the spectrum
// pane's display analyser); they also hear when capture stops because its device went away,
// so nothing stale stays on screen.
class CWaveEngine {
public:
    using Block = CaptureCycle::Block;

    static constexpr int kDisplayFftSize = ::kDisplayFftSize;

    CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                std::unique_ptr<IWaveOut> waveOut);
    ~CWaveEngine();

    CWaveEngine(const CWaveEngine&) = delete;
    CWaveEngine& operator=(const CWaveEngine&) = delete;

    // Sets the object that receives the device notifications.
    void Initialise(QObject* notify);
    // No device notifies anyone any more: for an object about to go away.
    void DetachNotify();

    // Each captured block, in fill order, on the GUI thread; the span is valid during the call.
    void SetBlockSink(std::function<void(Block)> sink) { m_blockSink = std::move(sink); }

    // Opens and starts capture; a failure is shown (once per outage) and leaves capture closed
    // for a retry.
    void StartCapture();
    // The same without showing a failure: for trying again. True when capture is open.
    bool RetryCapture();
    // Stops and closes capture; WAVE_NOERROR when it was not open.
    WaveResult StopCapture();
    // See IWaveIn::WatchAvailability.
    bool WatchCaptureAvailability(QObject* watcher) {
        return m_capture.Device().WatchAvailability(watcher);
    }
    IWaveIn& CaptureDevice() { return m_capture.Device(); }
    // Records from this source from now on (empty: the default); capture, if open, reopens.
    void SetInputSource(const std::string& name);

    // Handles the device notifications (1): MM_WIM_DATA and MM_WOM_DONE whether or not the
    // device is open; MM_WIM_ERROR and MM_WOM_ERROR close the device and show the error.
    // Anything else is not the engine's (0).
    int OnBufferDone(QEvent* e);

    // Opens the output and queues two silent buffers; the mode (and clip) must be set first.
    // Does nothing while open.
    void StartOutput();
    WaveResult StopOutput();

    bool IsCaptureOpen() const { return m_capture.IsOpen(); }
    bool IsOutputOpen() const { return m_output.IsOpen(); }
    // Told whenever the output opens or closes, whoever opened or closed it.
    void SetOutputListener(std::function<void()> listener) {
        m_output.SetListener(std::move(listener));
    }

    // The note of the tone is asked for at every refill, so a playing tone follows it. A4 until
    // a source is set.
    void SetSynthesisNoteSource(std::function<int()> note) {
        m_tone.SetNoteSource(std::move(note));
    }
    int SynthesisNote() const { return m_tone.Note(); }
    double SynthesisPhase() const { return m_tone.Phase(); }
    // Plays the synthesised tone (true) or the clip (false) from the next refill on.
    void SetSynthesis(bool synthesis) { m_tone.SetSynthesis(synthesis); }
    bool IsSynthesis() const { return m_tone.IsSynthesis(); }
    // The engine keeps its own copy of the clip, looped without a gap.
    void SetClip(std::vector<std::int16_t> clip) { m_tone.SetClip(std::move(clip)); }

    // Hears captured blocks and capture lost from now on, until removed (before it goes away).
    void AddCaptureListener(ICaptureListener* listener);
    void RemoveCaptureListener(ICaptureListener* listener);

private:
    std::unique_ptr<IWaveOut> m_waveOut;
    CaptureCycle m_capture;
    std::vector<ICaptureListener*> m_captureListeners;
    ToneOutput m_output;
    std::function<void(Block)> m_blockSink;
    ReferenceTone m_tone;
};
