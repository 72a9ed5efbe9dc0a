#pragma once

#include "ListeningSession.h"
#include "TunerReadout.h"

#include <QWidget>

#include <array>
#include <functional>

class CDoreme;
class CInstrumentTree;
class CLevelIndicator;
class CPitchMeter;
class CStrobeView;
class CStringMeters;
class CWaveEngine;
class QLabel;

// The tuner pane: the pitch meter with its read-out, the target note and its neighbours, and
// the instrument tree. Its first initial update starts everything that listens; closing it
// stops capture, output and the worker. The listening session owns the target, the mode and
// the read-out; the pane passes the commands on and draws what the session says.
class CTunerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMinimumWidth = 360;

    CTunerView(CDoreme& doreme, CWaveEngine& engine, QWidget* parent = nullptr);
    ~CTunerView() override;

    // Start-up, once: the reference pitch (already read from the settings and clamped), the
    // note table, the tree, target A4, then listening.
    void OnInitialUpdate(double freqA4);
    // Stops capture, output and the worker; safe to call more than once.
    void Shutdown();

    // The tuner's commands.
    void OnHalfToneDown();
    void OnHalfToneUp();
    void OnAutoTone();
    void OnPreciseAuto();
    void OnStandardTone();
    void OnSetParameters();
    void OnMetronom();

    // Runs the Set Parameters dialog (the application provides it); true when it ended with
    // OK and the reference was stored.
    void SetParametersDialog(std::function<bool()> run) { m_runSetParameters = std::move(run); }
    // Runs the metronome dialog; until one is provided the command does nothing.
    void SetMetronomeDialog(std::function<void()> run) { m_runMetronome = std::move(run); }

    bool IsAutomatic() const { return m_session.IsAutomatic(); }
    bool IsPrecise() const { return m_session.IsPrecise(); }
    bool IsToneOn() const { return m_session.IsToneOn(); }
    int Note() const { return m_session.Note(); }
    const TunerReadout& Readout() const { return m_session.Readout(); }
    CListeningSession& Session() { return m_session; }
    CInstrumentTree* Tree() const { return m_tree; }
    CStrobeView* Strobe() const { return m_strobe; }
    CLevelIndicator* LevelIndicator() const { return m_level; }
    // The strobe band under the meter, hidden at first.
    void SetStrobeVisible(bool visible);
    bool IsStrobeVisible() const;
    // The instrument view, shown in place of the pitch meter while an instrument is chosen.
    CStringMeters* StringMeters() const { return m_stringMeters; }

    // Fills the three neighbour notes and their frequencies from the target.
    void UpdateNeighbours();

    // Set by the metronome's opener while its dialog is open; the tree's selection timer waits
    // meanwhile.
    bool m_bInMetronome = false;

signals:
    // The target, the automatic mode or the reference tone changed (whatever stopped the
    // tone): command check marks need a refresh.
    void CommandStateChanged();

protected:
    bool event(QEvent* e) override;

private:
    void RefreshReadout();
    void ShowTargetView();
    void ParkFocusIfInTree();

    CDoreme& m_doreme;
    CListeningSession m_session;
    std::function<bool()> m_runSetParameters;
    std::function<void()> m_runMetronome;
    bool m_bInitialised = false;

    CPitchMeter* m_meter = nullptr;
    QLabel* m_pitch = nullptr;
    QLabel* m_low = nullptr;
    QLabel* m_high = nullptr;
    QLabel* m_centreMark = nullptr;
    std::array<QLabel*, 3> m_noteNames{};
    std::array<QLabel*, 3> m_noteFrequencies{};
    CInstrumentTree* m_tree = nullptr;
    CStrobeView* m_strobe = nullptr;
    CLevelIndicator* m_level = nullptr;
    QWidget* m_meterGroup = nullptr;
    QWidget* m_stringsGroup = nullptr;
    QLabel* m_stringsTitle = nullptr;
    CStringMeters* m_stringMeters = nullptr;
};
