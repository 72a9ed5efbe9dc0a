#pragma once

#include "Messages.h"

#include <cstdint>
#include <optional>

// The tuner's own messages.

// A note was chosen in the instrument tree (tree -> tuner view): NoteSelectedEvent.
constexpr QEvent::Type WM_NOTE_SELECTED = MessageType(WM_APP_BASE + 1);
// The analysis worker has a frequency (worker -> listening session): PitchResultEvent.
constexpr QEvent::Type WM_PITCH_RESULT = MessageType(WM_APP_BASE + 4);

// WM_NOTE_SELECTED carries the chosen note index.
class NoteSelectedEvent : public QEvent {
public:
    explicit NoteSelectedEvent(int note) : QEvent(WM_NOTE_SELECTED), m_nNote(note) {}
    int Note() const { return m_nNote; }

private:
    int m_nNote;
};

// WM_PITCH_RESULT carries the frequency and the tag the frame was offered with; in precise
// automatic mode also the estimate checked for its octave on that frame and the count of blocks
// the frame ends with.
class PitchResultEvent : public QEvent {
public:
    PitchResultEvent(double hz, std::uint64_t tag, std::optional<double> octave = std::nullopt,
                     std::uint64_t block = 0)
        : QEvent(WM_PITCH_RESULT), m_dFrequency(hz), m_nTag(tag), m_octave(octave),
          m_nBlock(block) {}
    double Frequency() const { return m_dFrequency; }
    std::uint64_t Tag() const { return m_nTag; }
    std::optional<double> Octave() const { return m_octave; }
    std::uint64_t Block() const { return m_nBlock; }

private:
    double m_dFrequency;
    std::uint64_t m_nTag;
    std::optional<double> m_octave;
    std::uint64_t m_nBlock;
};
