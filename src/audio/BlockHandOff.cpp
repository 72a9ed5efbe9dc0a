#include "BlockHandOff.h"

#include "Messages.h"
#include "WaveEngine.h"

#include <QCoreApplication>

CBlockHandOff::CBlockHandOff(CWaveEngine& engine, const NoteTable& notes, QObject* resultReceiver,
                             QObject* parent)
    : QObject(parent), m_engine(engine), m_pReceiver(resultReceiver), m_state(notes),
      m_pipeline(m_state, m_meter, notes) {}

CBlockHandOff::~CBlockHandOff() {
    Stop();
}

void CBlockHandOff::Start() {
    m_meter.Clear();
    m_nSeenSerial = m_engine.BlockSerial();
    m_engine.Initialise(this);
    m_engine.StartCapture();
    m_state.InitTransform();
    // Runs on the worker: only posts, so the worker never waits on the GUI thread. This
    // object outlives the worker, which Stop joins.
    m_state.StartWorker([this] { QCoreApplication::postEvent(this, new QEvent(WM_PITCH_RESULT)); });
}

void CBlockHandOff::Stop() {
    m_engine.StopCapture();
    m_engine.StopOutput();
    m_state.StopWorker();
    QCoreApplication::removePostedEvents(this);
}

bool CBlockHandOff::event(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == MM_WIM_DATA) {
        OnCaptureData();
        return true;
    }
    if (type == MM_WOM_DONE) {
        m_engine.OnBufferDone(type);
        return true;
    }
    if (type == WM_BLOCK_READY) {
        OnBlockReady();
        return true;
    }
    if (type == WM_PITCH_RESULT) {
        Report(m_state.Result(), false);
        return true;
    }
    return QObject::event(e);
}

void CBlockHandOff::OnCaptureData() {
    m_engine.OnBufferDone(MM_WIM_DATA);
    // A notification that brought no new block (a stale one after the device closed) must
    // not feed the same block twice.
    if (m_engine.BlockSerial() == m_nSeenSerial) {
        return;
    }
    m_nSeenSerial = m_engine.BlockSerial();
    ++m_nBlocks;
    m_pipeline.HandOverBlock(m_engine.LatestBlock(), m_nNote);
    QCoreApplication::postEvent(this, new QEvent(WM_BLOCK_READY));
}

void CBlockHandOff::OnBlockReady() {
    const BlockPipeline::Outcome outcome = m_pipeline.Dispatch(m_nNote, m_bAuto);
    if (outcome.noteLockedHz) {
        Report(*outcome.noteLockedHz, true);
    }
}

void CBlockHandOff::Report(double hz, bool noteLocked) {
    if (!m_pReceiver) {
        return;
    }
    PitchResultEvent result(hz, noteLocked ? PitchResultEvent::Source::NoteLocked
                                           : PitchResultEvent::Source::Worker);
    QCoreApplication::sendEvent(m_pReceiver, &result);
}
