#include "ListeningSession.h"

#include "Doreme.h"
#include "PostEvent.h"
#include "TunerMessages.h"

#include <QCoreApplication>
#include <QtGlobal>

#include <algorithm>

CListeningSession::CListeningSession(const CDoreme& doreme, CWaveEngine& engine, QObject* parent)
    : QObject(parent), m_engine(engine), m_readout(doreme), m_state(doreme.Notes()),
      m_pipeline(m_state, m_meter, doreme.Notes()), m_tracker(doreme) {
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
    m_bWatching = m_engine.WatchCaptureAvailability(this);
    m_engine.StartCapture();
    WatchCapture();
    if (!m_state.IsWorkerRunning()) {
        if (m_state.InitTransform() != 1) {
            qWarning("Out of memory for the tuner's transform: automatic mode shows nothing.");
        }
        // Runs on the worker: only posts, so the worker never waits on the GUI thread. This
        // object outlives the worker, which Stop joins.
        m_state.StartWorker([this](double hz, std::uint64_t tag) {
            PostEvent(this, new PitchResultEvent(hz, tag));
        });
    }
}

void CListeningSession::Stop() {
    m_retry.stop();
    m_engine.WatchCaptureAvailability(nullptr);
    m_bWatching = false;
    m_engine.StopCapture();
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
    m_markers.fill(0.0);
    emit ReadoutChanged();
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
    m_pipeline.HandOverBlock(block, Note());
    m_tracker.AppendBlock(block);
    const BlockPipeline::Outcome outcome = m_pipeline.Dispatch(Note(), IsAutomatic(), m_nChoice);
    if (outcome.noteLockedHz) {
        ShowPitch(*outcome.noteLockedHz);
    }
}

void CListeningSession::OnPitchResult(const PitchResultEvent& result) {
    // Asked for before the user's latest choice: it would move the target away from it.
    if (!IsAutomatic() || result.Tag() != m_nChoice) {
        return;
    }
    if (m_bPrecise) {
        OnPreciseEstimate(result.Frequency());
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

void CListeningSession::OnPreciseEstimate(double hz) {
    const auto reading = m_tracker.OnEstimate(hz);
    std::shift_left(m_markers.begin(), m_markers.end(), 1);
    m_markers.back() = reading ? reading->hz : 0.0;
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

std::span<const double> CListeningSession::PreciseMarkers() const {
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
    m_markers.fill(0.0);
    emit TargetChanged();
}

void CListeningSession::SelectNote(int note) {
    m_readout.SelectNote(note);
    Chosen();
}

void CListeningSession::HalfTone(int delta) {
    m_readout.HalfTone(delta);
    Chosen();
}

void CListeningSession::SetAutomatic(bool automatic) {
    m_readout.SetAutomatic(automatic);
    if (automatic) {
        m_engine.StopOutput(); // the tone belongs to a chosen note
    }
    Chosen();
}

void CListeningSession::SetPrecise(bool precise) {
    m_bPrecise = precise;
    Chosen(); // a result asked for under the other mode is dropped
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
