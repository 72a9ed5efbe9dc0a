#pragma once

#include <cstdint>
#include <span>

// The tuner's sensitivity: a block quieter than the threshold is not measured, so silence and
// room noise show nothing instead of a made-up note. The level is the block's RMS in dB
// relative to a full-scale sine (a sine peaking at full scale reads 0 dB).
class LevelGate {
public:
    static constexpr int kDefaultDb = -50; // a quiet room stays quiet, a plucked string is heard
    static constexpr int kMinDb = -90;
    static constexpr int kMaxDb = -10;
    static constexpr double kSilenceDb = -120.0; // what digital silence reads

    enum class Change {
        Quiet,    // below the threshold
        Returned, // the first block at or above it after quiet (or at start)
        Sounding, // at or above it, as the block before
    };

    explicit LevelGate(double thresholdDb = kDefaultDb) { SetThreshold(thresholdDb); }

    // Kept within kMinDb..kMaxDb.
    void SetThreshold(double db);
    double Threshold() const { return m_dThreshold; }

    // Measures the block and opens or closes the gate.
    Change Admit(std::span<const std::int16_t> block);
    // Closed, as at start: the next loud block counts as sound returning.
    void Close();

    bool IsOpen() const { return m_bOpen; }
    // The level of the last block admitted; kSilenceDb before the first.
    double Level() const { return m_dLevel; }

    // A block's level in dB, never below kSilenceDb.
    static double LevelDb(std::span<const std::int16_t> block);

private:
    double m_dThreshold = kDefaultDb;
    double m_dLevel = kSilenceDb;
    bool m_bOpen = false;
};
