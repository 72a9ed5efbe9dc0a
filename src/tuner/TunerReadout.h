#pragma once

#include <array>
#include <string>

class CDoreme;

// What the tuner shows and how a measurement becomes that: the target note, the automatic
// mode, the smoothed frequency, the "%.2fHz (%dCents)" read-out with its "H" and "L" marks,
// the meter position and the three neighbour notes. The tuner pane draws what this says; the
// offline analyser prints it.
class TunerReadout {
public:
    static constexpr int kMeterRange = 100;

    struct Neighbour {
        std::string name;      // dual name, or "#G0" / "#C8" beyond the table
        std::string frequency; // "%.2fHz"
    };

    // The state right after start-up: target A4, note-locked mode, read-outs empty, meter 0.
    explicit TunerReadout(const CDoreme& doreme);

    // Smooths x into the shown frequency (a third of the new value, two thirds of the old),
    // then sets the read-out, the marks and the meter against the target note. A value below
    // 1 Hz (or not a number) empties the read-outs and leaves everything else as it was.
    void ShowPitch(double x);
    // Nothing can be heard (no input device): the texts go empty and the needle rests at the
    // centre.
    void ShowNothingHeard();
    // The next value ShowPitch takes replaces the smoothed frequency instead of gliding from
    // it: a new target, or sound back after quiet.
    void StartAfresh() { m_bAfresh = true; }
    void CancelAfresh() { m_bAfresh = false; }
    // The sound lies outside the band the note-locked measurement sees: above it (+1) or below
    // (-1). The frequency text goes empty, the mark shows the side and the meter rests at that
    // end; the smoothed frequency is left as it was. 0 ends it (the next ShowPitch shows).
    void ShowOutOfBand(int side);

    // A result of the automatic analysis: the nearest note becomes the target and the result
    // is shown. False, and nothing changes, when no note of the table is near.
    bool ApplyAutomaticResult(double hz);

    // A reading of precise automatic mode: note becomes the target and hz is shown. With
    // restart (a new note) the smoothing starts afresh from hz instead of gliding from the
    // last string's value.
    void ApplyPreciseResult(int note, double hz, bool restart);

    // A note chosen by the user: leaves automatic mode.
    void SelectNote(int note);
    // One half tone up (+1) or down (-1), within the table; leaves automatic mode.
    void HalfTone(int delta);
    void SetAutomatic(bool automatic) { m_bAuto = automatic; }

    int Note() const { return m_nNote; }
    bool IsAutomatic() const { return m_bAuto; }
    double Smoothed() const { return m_dSmoothed; }
    const std::string& PitchText() const { return m_strPitch; }
    const std::string& LowText() const { return m_strLow; }
    const std::string& HighText() const { return m_strHigh; }
    int MeterPosition() const { return m_nMeter; }
    // The whole cents of the read-out; meaningful while PitchText() is not empty.
    int Cents() const { return m_nCents; }
    bool IsShowing() const { return !m_strPitch.empty(); }
    // +1 above the band, -1 below it, 0 within it.
    int OutOfBand() const { return m_nOutOfBand; }

    // Below, at and above the target.
    std::array<Neighbour, 3> Neighbours() const;

private:
    const CDoreme& m_doreme;
    int m_nNote = 48;
    bool m_bAuto = false;
    double m_dSmoothed; // starts at the default A4
    std::string m_strPitch;
    std::string m_strLow;
    std::string m_strHigh;
    int m_nMeter = 0;
    int m_nCents = 0;
    bool m_bAfresh = false;
    int m_nOutOfBand = 0;
};
