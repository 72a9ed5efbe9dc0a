#pragma once

#include "AnalysisState.h"
#include "BandCheck.h"
#include "BlockPipeline.h"
#include "LevelGate.h"
#include "NoteLockedMeasurement.h"
#include "PreciseAutoTracker.h"
#include "SampleRing.h"
#include "StrumReadout.h"
#include "TunerReadout.h"
#include "TunerTarget.h"
#include "WaveEngine.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <cstdint>
#include <span>

class CDoreme;
class PitchResultEvent;

// The tuner's listening session, without any widget: the engine's notification object, the
// analysis worker, the note-locked measurement and the block pipeline, and the one owner of
// the target note and the mode (kept in its read-out). The tuner pane draws what it says, and
// the engine's tone asks it for the note.
//
// Each captured block comes from the engine in fill order and takes the pipeline's road at
// once. In automatic mode its frame goes to the worker, tagged with the count of the user's
// choices so far; the result comes back to this object as a PitchResultEvent and is dropped
// when the user has chosen a note or switched the mode since, so a late result never moves
// the target away from the user's choice. With a note selected the note-locked measurement
// runs at once.
//
// Precise automatic mode (off by default) changes what an automatic result does: it only
// proposes a note, and the reading shown is the note-locked measurement of that note, once
// two results in a row agree on it (PreciseAutoTracker). Until then the read-out shows nothing
// new; a new note starts the read-out's smoothing afresh. The worker checks each estimate's
// octave on its own frame, and the result names the frame's newest block, so a result handled
// late still belongs to the blocks it came from. The spectrum's pitch markers then show the same
// readings (PreciseMarkers), redrawn as each arrives (MarkersChanged).
//
// When capture cannot open at start or stops with an error later, the engine shows the error
// once; the read-out is emptied, the needle rests at the centre, and capture opens again,
// without further messages, as soon as the device says it may (a sound server answered, a
// source appeared). A device that cannot tell is tried again every 2 seconds instead. Start and
// Stop may each be called any number of times, in any order; Stop leaves nothing running.
class CListeningSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryIntervalMs = 2000;
    // As many pitch markers as the spectrum draws.
    static constexpr int kMarkerCount = 20;

    CListeningSession(const CDoreme& doreme, CWaveEngine& engine, QObject* parent = nullptr);
    ~CListeningSession() override;

    // Becomes the engine's notification object, starts capture, the transform and the worker.
    void Start();
    // Stops capture, output, the retries and the worker (joined).
    void Stop();

    const TunerReadout& Readout() const { return m_readout; }
    int Note() const { return m_readout.Note(); }
    bool IsAutomatic() const { return m_readout.IsAutomatic(); }
    bool IsPrecise() const { return m_bPrecise; }
    bool IsToneOn() const { return m_engine.IsOutputOpen(); }
    bool IsRetryingCapture() const {
        return m_retry.isActive() || (m_bWatching && !m_engine.IsCaptureOpen());
    }
    const AnalysisState& State() const { return m_state; }
    // The tag a frame handed to the worker now carries.
    std::uint64_t Choice() const { return m_nChoice; }

    // The user's choices: a note (leaves automatic mode), a half tone up (+1) or down (-1)
    // within the table (leaves automatic mode), the mode (switching it on stops the tone).
    void SelectNote(int note);
    void HalfTone(int delta);
    void SetAutomatic(bool automatic);
    // Starts the reference tone of the target, or stops it; nothing in automatic mode.
    void ToggleTone();
    // Precise automatic mode on or off; it shows while automatic mode is on.
    void SetPrecise(bool precise);
    // The instrument view: every string of the instrument at once (leaves automatic mode; the
    // target note stays for the tone). Choosing a note, a half tone or automatic mode ends it.
    void SelectInstrument(int instrument);
    bool IsInstrumentView() const { return m_strum.IsActive(); }
    const StrumReadout& Strings() const { return m_strum; }

    // The sensitivity in dB (LevelGate), and whether the last block was below it (or nothing
    // has been heard yet).
    void SetSensitivity(double db) { m_gate.SetThreshold(db); }
    double Sensitivity() const { return m_gate.Threshold(); }
    bool IsQuiet() const { return !m_gate.IsOpen(); }
    // The level of the last block in dB.
    double InputLevel() const { return m_gate.Level(); }
    // The fundamental the strobe compares with: the target's frequency while sound is heard,
    // else 0.
    double StrobeTarget() const;
    SampleRing& StrobeRing() { return m_ring; }

    // The mode and the target, to keep between runs, and to put back.
    TunerTarget Target() const;
    void Restore(const TunerTarget& target);

    // The readings of precise automatic mode, one per analysed block, oldest first (0 where
    // there was none), for the spectrum's pitch markers; empty outside that mode.
    std::span<const double> PreciseMarkers() const;

signals:
    void ReadoutChanged(); // the read-out, its marks or the meter
    void TargetChanged();  // the target note or the mode
    void LevelChanged();   // a block was heard: InputLevel() and IsQuiet()
    void ToneChanged();    // the output opened or closed, whoever did it
    void StringsChanged(); // a meter of the instrument view
    void MarkersChanged(); // PreciseMarkers has a new reading

protected:
    bool event(QEvent* e) override;

private:
    void OnBlock(CWaveEngine::Block block);
    void OnPitchResult(const PitchResultEvent& result);
    void OnPreciseEstimate(const PitchResultEvent& result);
    void ClearMarkers();
    void ShowPitch(double hz);
    void Chosen();
    void NewTarget(int before);
    void ShowNothing();
    void ShowNoteLocked(std::optional<double> hz);
    void WatchCapture();
    void ShowNothingHeard();

    const CDoreme& m_doreme;
    CWaveEngine& m_engine;
    TunerReadout m_readout;
    AnalysisState m_state;
    NoteLockedMeasurement m_meter;
    BlockPipeline m_pipeline;
    PreciseAutoTracker m_tracker;
    StrumReadout m_strum; // measured here, on the GUI thread, as the note-locked measurement
    bool m_bPrecise = false;
    std::array<double, kMarkerCount> m_markers{};
    QTimer m_retry;           // only for a device that cannot say when it is back
    bool m_bWatching = false; // the device says when it is back
    std::uint64_t m_nChoice = 0;
    LevelGate m_gate;
    BandCheck m_band;
    bool m_bOutOfBand = false;
    int m_nSettle = 0; // note-locked blocks still to come before the history is the new note's
    SampleRing m_ring{32768};
};
