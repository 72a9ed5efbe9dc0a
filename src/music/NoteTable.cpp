#include "NoteTable.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

struct NoteNames {
    std::array<std::string, kNoteCount> name;
    std::array<std::string, kNoteCount> dualName;

    NoteNames() {
        for (int n = 0; n < kNoteCount; ++n) {
            const int octave = (n + 9) / 12; // A0, #A0, B0 are octave 0; C1 starts octave 1
            const int pitchClass = n % 12;
            name[n] = std::string(SharpNames[pitchClass]) + std::to_string(octave);
            dualName[n] = std::string(SharpFlatNames[pitchClass]) + std::to_string(octave);
        }
    }
};

// Built once, on first use (thread-safe), and never written again.
const NoteNames& Names() {
    static const NoteNames names;
    return names;
}

} // namespace

NoteTable::NoteTable() {
    for (auto& f : m_frequency) {
        f.store(0.0, std::memory_order_relaxed);
    }
    Names();
}

int NoteTable::ClampIndex(int n) {
    return std::clamp(n, kNoteFirst, kNoteLast);
}

NoteEntry NoteTable::operator[](int n) const {
    n = ClampIndex(n);
    return NoteEntry{Frequency(n), Name(n), DualName(n)};
}

double NoteTable::Frequency(int n) const {
    return m_frequency[ClampIndex(n)].load(std::memory_order_acquire);
}

std::string_view NoteTable::Name(int n) {
    return Names().name[ClampIndex(n)];
}

std::string_view NoteTable::DualName(int n) {
    return Names().dualName[ClampIndex(n)];
}

namespace {

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::optional<int> NoteTable::IndexOfName(std::string_view text) {
    for (int n = 0; n < kNoteCount; ++n) {
        const std::string_view dual = DualName(n);
        if (SameLetters(text, Name(n)) || SameLetters(text, dual)) {
            return n;
        }
        // "#C/bD5": the flat spelling alone is "bD5".
        if (const auto slash = dual.find('/');
            slash != std::string_view::npos && SameLetters(text, dual.substr(slash + 1))) {
            return n;
        }
    }
    return std::nullopt;
}

void NoteTable::SetFrequency(int n, double frequency) {
    m_frequency[ClampIndex(n)].store(frequency, std::memory_order_release);
}
