#pragma once

#include "ToneOscillator.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class NoteTable;

// The reference tone's voice: a synthesised note, or a clip looped without a gap however its
// length relates to the buffer's. It only makes samples; the engine's tone output plays them.
class ReferenceTone {
public:
    explicit ReferenceTone(const NoteTable& notes) : m_notes(notes) {}

    // The note is asked for at every fill, so a playing tone follows it. A4 until a source is
    // set.
    void SetNoteSource(std::function<int()> note) { m_note = std::move(note); }
    int Note() const;
    double Phase() const { return m_oscillator.Phase(); }
    // The synthesised tone (true) or the clip (false) from the next fill on.
    void SetSynthesis(bool synthesis) { m_bSynthesis = synthesis; }
    bool IsSynthesis() const { return m_bSynthesis; }
    // Keeps its own copy of the clip, played from its start.
    void SetClip(std::vector<std::int16_t> clip);
    // The clip plays from its start again.
    void Rewind() { m_nClipPos = 0; }

    void Fill(std::span<std::int16_t> buffer);

private:
    void FillFromClip(std::span<std::int16_t> buffer);

    const NoteTable& m_notes;
    std::function<int()> m_note;
    bool m_bSynthesis = true;
    // The fundamental and its octave at equal weight with a weak twelfth: easy to hear
    // against a string.
    ToneOscillator m_oscillator{{0.5, 0.5, 0.1}};
    std::vector<std::int16_t> m_clip;
    std::size_t m_nClipPos = 0;
};
