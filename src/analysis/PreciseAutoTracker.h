#pragma once

#include "AudioFormat.h"
#include "NoteLockedMeasurement.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class CDoreme;

// Precise automatic mode: the automatic estimate picks the note, the note-locked measurement
// measures it.
//
// Every captured block goes into a ring of the last eight (the longest note-locked history,
// that of A0). Each frame's automatic estimate comes checked for its octave (OctaveGuard, on
// the frame the estimate was made from), with the count of blocks the frame ends with;
// OnEstimate takes its nearest note. A note found in two frames in a row is confirmed: the
// tracker locks onto it, and from then on each frame's reading is the note-locked measurement
// around it, made on a history built from the blocks since the note began only. So nothing of
// the string played before reaches it, and there is no reading at all while a new note is not
// yet confirmed. Sign changes near the ends of the history, where its filter wraps round, are
// left out of the count.
class PreciseAutoTracker {
public:
    static constexpr int kRingBlocks = 8;
    static constexpr int kConfirmations = 2;
    // History values left out at either end when the sign changes are counted: there the
    // transform's filter wraps the end of the history round to its start.
    static constexpr int kEdgeMargin = 1024;
    // A reading farther than this from the locked note, in cents, is the filter's ringing or a
    // partial beside a fundamental too weak for it: the checked estimate is shown instead.
    static constexpr double kMaxCents = 65.0;

    struct Reading {
        int note;     // the locked note: the target
        double hz;    // its note-locked measurement
        bool newNote; // the first reading since the lock: the read-out starts afresh from it
    };

    explicit PreciseAutoTracker(const CDoreme& doreme);

    PreciseAutoTracker(const PreciseAutoTracker&) = delete;
    PreciseAutoTracker& operator=(const PreciseAutoTracker&) = delete;

    // Forgets the note, confirmed or not; the blocks stay.
    void Reset();

    void AppendBlock(std::span<const std::int16_t> block);

    // The checked estimate of the frame that ends with block number block - 1 (nothing when
    // the guard found no tone): the reading to show, or nothing new.
    std::optional<Reading> OnEstimate(std::optional<double> checked, std::uint64_t block);

private:
    std::optional<Reading> Measure();
    std::span<const std::int16_t> RingBlock(std::uint64_t index) const;

    const CDoreme& m_doreme;
    std::vector<std::int16_t> m_ring;
    std::uint64_t m_nBlocks = 0; // appended so far; block i sits at i % kRingBlocks

    double m_dGuarded = 0.0; // the checked estimate of the newest frame
    int m_nCandidate = -1;
    int m_nRun = 0;                      // frames in a row that found the candidate
    std::uint64_t m_nCandidateFirst = 0; // the newest block of the first of them
    int m_nLocked = -1;
    std::uint64_t m_nLockFirst = 0;      // the first block of the locked note
    bool m_bShown = false;               // a reading of the locked note has been given
    bool m_bMeasured = false;            // the meter's history holds the locked note
    int m_nMeasuredX = 1;                // its decimation
    std::uint64_t m_nMeasuredBlocks = 0; // the blocks appended when it was last measured
    NoteLockedMeasurement m_meter;
};
