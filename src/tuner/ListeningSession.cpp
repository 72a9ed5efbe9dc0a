#include "ListeningSession.h"

#include "Doreme.h"
#include "PostEvent.h"
#include "TunerMessages.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>
#include <utility>

CListeningSession::CListeningSession(const CDoreme& doreme, CWaveEngine& engine, QObject* parent)
    : QObject(parent), m_doreme(doreme), m_engine(engine), m_readout(doreme),
      m_state(doreme.Notes()), m_pipeline(m_state, m_meter, doreme.Notes()), m_tracker(doreme),
      m_strum(doreme) {
    m_retry.setInterval(kRetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_engine.RetryCapture()) {
            m_retry.stop();
        }
    });
}

CListeningSession::~CListeningSession() {
    Stop();
    m_engine.SetBlockSink(nullptr);
    m_engine.SetOutputListener(nullptr);
    m_engine.SetSynthesisNoteSource(nullptr);
    m_engine.DetachNotify(); // no device may notify an object that is gone
}

void CListeningSession::Start() {
    m_meter.Clear();
    m_engine.SetBlockSink([this](CWaveEngine::Block block) { OnBlock(block); });
    m_engine.SetOutputListener([this] { emit ToneChanged(); });
    m_engine.SetSynthesisNoteSource([this] { return Note(); });
    m_engine.Initialise(this);
    m_engine.CaptureDevice().SetTap(&m_ring);
    m_bWatching = m_engine.WatchCaptureAvailability(this);
    m_engine.StartCapture();
    WatchCapture();
    if (!m_state.IsWorkerRunning()) {
        if (m_state.InitTransform() != 1) {
            qWarning("Out of memory for the tuner's transform: automatic mode shows nothing.");
        }
        // Runs on the worker: only posts, so the worker never waits on the GUI thread. This
        // object outlives the worker, which Stop joins.
        m_state.StartWorker([this](const AnalysisState::FrameResult& r) {
            PostEvent(this, new PitchResultEvent(r.hz, r.tag, r.octave, r.block));
        });
    }
}

void CListeningSession::Stop() {
    m_retry.stop();
    m_engine.WatchCaptureAvailability(nullptr);
    m_bWatching = false;
    m_engine.StopCapture();
    m_engine.CaptureDevice().SetTap(nullptr); // closed: nothing writes to the ring any more
    m_engine.StopOutput();
    m_state.StopWorker();
    QCoreApplication::removePostedEvents(this);
}

void CListeningSession::WatchCapture() {
    if (m_engine.IsCaptureOpen()) {
        return;
    }
    ShowNothingHeard();
    if (!m_bWatching && !m_retry.isActive()) {
        m_retry.start();
    }
}

void CListeningSession::ShowNothingHeard() {
    m_readout.ShowNothingHeard();
    m_tracker.Reset(); // what was heard before is not the note when sound comes back
    ClearMarkers();
    m_gate.Close();
    m_strum.ShowNothingHeard();
    emit LevelChanged();
    emit ReadoutChanged();
    emit StringsChanged();
}

bool CListeningSession::event(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == WM_PITCH_RESULT) {
        OnPitchResult(*static_cast<PitchResultEvent*>(e));
        return true;
    }
    if (type == MM_WIM_AVAILABLE) {
        if (m_bWatching && !m_engine.IsCaptureOpen()) {
            m_engine.RetryCapture();
        }
        return true;
    }
    if (m_engine.OnBufferDone(e) != 0) {
        if (type == MM_WIM_ERROR) {
            WatchCapture();
        } else if (type == MM_WIM_STALLED) {
            ShowNothingHeard(); // the microphone went quiet: no box, and it may come back
        }
        return true;
    }
    return QObject::event(e);
}

void CListeningSession::OnBlock(CWaveEngine::Block block) {
    const bool wasHeard = m_gate.IsOpen();
    const LevelGate::Change heard = m_gate.Admit(block);
    m_pipeline.HandOverBlock(block, Note());
    m_tracker.AppendBlock(block);
    if (m_strum.AppendBlock(block)) {
        emit StringsChanged(); // the strings say themselves when they sound
    }
    emit LevelChanged();
    if (heard == LevelGate::Change::Quiet) {
        if (wasHeard) {
            ++m_nChoice; // a result of the sound before is not shown over the quiet
        }
        ShowNothing();
        return;
    }
    if (heard == LevelGate::Change::Returned) {
        // The block the sound came back in is partly quiet, and its reading would lie far off:
        // the read-out starts afresh from the next block.
        m_readout.StartAfresh();
        return;
    }
    const BlockPipeline::Outcome outcome = m_pipeline.Dispatch(Note(), IsAutomatic(), m_nChoice);
    if (!IsAutomatic()) {
        ShowNoteLocked(outcome.noteLockedHz);
    }
}

void CListeningSession::ShowNothing() {
    if (!m_readout.IsShowing() && m_readout.OutOfBand() == 0 && m_readout.MeterPosition() == 0) {
        return; // already showing nothing
    }
    m_readout.ShowNothingHeard();
    ClearMarkers();
    m_bOutOfBand = false;
    emit ReadoutChanged();
}

void CListeningSession::ShowNoteLocked(std::optional<double> hz) {
    if (m_nSettle > 0) {
        --m_nSettle; // the history still holds the last note's samples: nothing to show yet
        ShowNothing();
        return;
    }
    const int side = m_band.Side(m_state.Samples(), Note(), m_doreme.Notes());
    if (side != 0) {
        m_bOutOfBand = true;
        m_readout.ShowOutOfBand(side);
        emit ReadoutChanged();
        return;
    }
    if (std::exchange(m_bOutOfBand, false)) {
        m_readout.StartAfresh(); // back in the band: no glide from before it left
    }
    if (hz) {
        ShowPitch(*hz);
    }
}

void CListeningSession::OnPitchResult(const PitchResultEvent& result) {
    // Asked for before the user's latest choice: it would move the target away from it.
    if (!IsAutomatic() || result.Tag() != m_nChoice) {
        return;
    }
    if (m_bPrecise) {
        OnPreciseEstimate(result);
        return;
    }
    const int before = Note();
    if (m_readout.ApplyAutomaticResult(result.Frequency())) {
        emit ReadoutChanged();
        if (Note() != before) {
            emit TargetChanged();
        }
    }
}

void CListeningSession::OnPreciseEstimate(const PitchResultEvent& result) {
    const auto reading = m_tracker.OnEstimate(result.Octave(), result.Block());
    std::shift_left(m_markers.begin(), m_markers.end(), 1);
    m_markers.back() = reading ? reading->hz : 0.0;
    emit MarkersChanged();
    if (!reading) {
        return; // nothing new: no wrong value in the meantime
    }
    const int before = Note();
    m_readout.ApplyPreciseResult(reading->note, reading->hz, reading->newNote);
    emit ReadoutChanged();
    if (Note() != before) {
        emit TargetChanged();
    }
}

void CListeningSession::ClearMarkers() {
    m_markers.fill(0.0);
    emit MarkersChanged();
}

std::span<const double> CListeningSession::PreciseMarkers() const {
    static constexpr std::array<double, kMarkerCount> kNoMarkers{};
    if (!m_gate.IsOpen()) {
        return kNoMarkers; // quiet: no marker
    }
    if (!m_bPrecise || !IsAutomatic()) {
        return {};
    }
    return m_markers;
}

void CListeningSession::ShowPitch(double hz) {
    m_readout.ShowPitch(hz);
    emit ReadoutChanged();
}

void CListeningSession::Chosen() {
    ++m_nChoice;
    m_tracker.Reset();
    ClearMarkers();
    emit TargetChanged();
}

// A target the user picked: the read-out starts afresh from the first reading of it.
void CListeningSession::NewTarget(int before) {
    m_readout.StartAfresh();
    m_bOutOfBand = false;
    const int factor = NoteLockedMeasurement::NoteFactor(Note());
    m_nSettle = factor == NoteLockedMeasurement::NoteFactor(before) ? 0 : factor - 1;
    m_strum.Select(std::nullopt); // back to the single meter
    Chosen();
}

void CListeningSession::SelectNote(int note) {
    const int before = Note();
    m_readout.SelectNote(note);
    NewTarget(before);
}

void CListeningSession::HalfTone(int delta) {
    const int before = Note();
    m_readout.HalfTone(delta);
    NewTarget(before);
}

double CListeningSession::StrobeTarget() const {
    if (!m_gate.IsOpen() || !m_engine.IsCaptureOpen()) {
        return 0.0;
    }
    return m_doreme.Frequency(Note());
}

TunerTarget CListeningSession::Target() const {
    TunerTarget target;
    target.mode = !IsAutomatic() ? TunerTarget::Mode::NoteLocked
                  : m_bPrecise   ? TunerTarget::Mode::PreciseAutomatic
                                 : TunerTarget::Mode::Automatic;
    target.kind = TunerTarget::Kind::Note;
    target.value = Note();
    if (const auto instrument = m_strum.Instrument()) {
        target.kind = TunerTarget::Kind::Instrument;
        target.value = *instrument;
    }
    return target;
}

void CListeningSession::Restore(const TunerTarget& target) {
    if (target.kind == TunerTarget::Kind::Instrument) {
        SelectInstrument(target.value);
        return;
    }
    SelectNote(target.value);
    if (target.mode != TunerTarget::Mode::NoteLocked) {
        if (target.mode == TunerTarget::Mode::PreciseAutomatic) {
            SetPrecise(true);
        }
        SetAutomatic(true);
    }
}

void CListeningSession::SetAutomatic(bool automatic) {
    m_readout.SetAutomatic(automatic);
    m_strum.Select(std::nullopt);
    if (automatic) {
        m_readout.CancelAfresh(); // automatic mode follows the sound as it always has
        m_engine.StopOutput();    // the tone belongs to a chosen note
    }
    Chosen();
}

void CListeningSession::SetPrecise(bool precise) {
    m_bPrecise = precise;
    m_state.SetOctaveCheck(precise);
    Chosen(); // a result asked for under the other mode is dropped
}

void CListeningSession::SelectInstrument(int instrument) {
    m_readout.SetAutomatic(false);
    m_strum.Select(instrument);
    Chosen();
    emit StringsChanged();
}

void CListeningSession::ToggleTone() {
    if (IsAutomatic()) {
        return;
    }
    if (m_engine.IsOutputOpen()) {
        m_engine.StopOutput();
    } else {
        m_engine.SetSynthesis(true);
        m_engine.StartOutput();
    }
}
