#include "ReferenceTone.h"

#include "NoteTable.h"

#include <algorithm>

int ReferenceTone::Note() const {
    return m_note ? NoteTable::ClampIndex(m_note()) : kNoteA4;
}

void ReferenceTone::SetClip(std::vector<std::int16_t> clip) {
    m_clip = std::move(clip);
    m_nClipPos = 0;
}

void ReferenceTone::Fill(std::span<std::int16_t> buffer) {
    if (!m_bSynthesis) {
        FillFromClip(buffer);
        return;
    }
    const double hz = m_notes.Frequency(Note());
    for (auto& sample : buffer) {
        sample = static_cast<std::int16_t>(m_oscillator.Next(hz) * 25000.0);
    }
}

void ReferenceTone::FillFromClip(std::span<std::int16_t> buffer) {
    if (m_clip.empty()) {
        std::fill(buffer.begin(), buffer.end(), 0);
        return;
    }
    if (m_nClipPos >= m_clip.size()) {
        m_nClipPos = 0;
    }
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const std::size_t count = std::min(buffer.size() - filled, m_clip.size() - m_nClipPos);
        std::copy_n(m_clip.begin() + static_cast<std::ptrdiff_t>(m_nClipPos), count,
                    buffer.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += count;
        m_nClipPos += count;
        if (m_nClipPos == m_clip.size()) {
            m_nClipPos = 0;
        }
    }
}
