#pragma once

#include "AnalysisState.h"
#include "BlockPipeline.h"
#include "NoteLockedMeasurement.h"

#include <QObject>

#include <cstdint>

class CWaveEngine;
class NoteTable;

// The listening machinery between the engine and the tuner, without any widget: it is the
// engine's notification object, hands every captured block to the analysis, and reports each
// frequency found to the result receiver as a PitchResultEvent (sent on the GUI thread).
//
// In automatic mode a frame goes to the analysis worker; with a note selected the note-locked
// measurement runs here, once per block.
class CBlockHandOff : public QObject {
    Q_OBJECT
public:
    CBlockHandOff(CWaveEngine& engine, const NoteTable& notes, QObject* resultReceiver,
                  QObject* parent = nullptr);
    ~CBlockHandOff() override;

    // Initialises the engine with this object as its notification object, starts capture,
    // prepares the transform and starts the worker.
    void Start();
    // Stops capture, output and the worker (joined); safe to call more than once.
    void Stop();

    // The tuner's current target note and mode, read for every block.
    void SetNote(int note) { m_nNote = note; }
    int Note() const { return m_nNote; }
    void SetAutomatic(bool automatic) { m_bAuto = automatic; }
    bool IsAutomatic() const { return m_bAuto; }

    const AnalysisState& State() const { return m_state; }
    std::uint64_t BlocksHandedOver() const { return m_nBlocks; }

protected:
    bool event(QEvent* e) override;

private:
    void OnCaptureData();
    void OnBlockReady();
    void Report(double hz, bool noteLocked);

    CWaveEngine& m_engine;
    QObject* m_pReceiver;
    AnalysisState m_state;
    NoteLockedMeasurement m_meter;
    BlockPipeline m_pipeline;

    int m_nNote = 48;
    bool m_bAuto = true;
    std::uint64_t m_nSeenSerial = 0;
    std::uint64_t m_nBlocks = 0;
};
