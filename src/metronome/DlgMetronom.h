#pragma once

#include "LampCycle.h"

#include <QDialog>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <span>

class CWaveEngine;
class QButtonGroup;
class QLabel;
class QSpinBox;
class QTimer;

// The modal dialog "Metronom": beats 30 .. 300 per minute in one of seven time patterns, as a
// click track looped by the engine's output (Sound) or as lamps flashing in the dialog (Light).
// Every opening starts at 120 in "4" with Sound. While it runs, any change of tempo, pattern or
// output stops it, and it starts again with the new settings 200 ms after the last change.
//
// The click track is rendered into the opener's buffer and handed to the engine, which plays
// its own copy; closing the dialog leaves a sounding track to the opener to stop.
class CDlgMetronom : public QDialog {
    Q_OBJECT
public:
    static constexpr int kSound = 0;
    static constexpr int kLight = 1;
    static constexpr int kRestartDelayMs = 200;
    static constexpr int kLampOnMs = 100;

    CDlgMetronom(CWaveEngine& engine, std::span<std::int16_t> clip, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void OnStart();
    void OnStop();
    void OnSettingChange();
    void StopRunning();
    void StartLight(int tempo);
    void OnBeat();
    void ShowLamp(int picture);

    CWaveEngine& m_engine;
    std::span<std::int16_t> m_pClip;
    std::array<QPixmap, 7> m_bmpLight;
    CLampCycle m_lamps;
    bool m_bRunning = false;
    int m_nRhythm;
    int m_nOutputMethod = kSound;

    QSpinBox* m_spinTempo;
    QButtonGroup* m_rhythmGroup;
    QButtonGroup* m_outputGroup;
    QLabel* m_staticLight;
    QTimer* m_beatTimer;    // Light: one tick per beat
    QTimer* m_lampOffTimer; // Light: puts the lamp out 100 ms after each beat, and keeps it out
    QTimer* m_restartTimer; // the start that follows a change
};
