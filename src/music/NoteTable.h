#pragma once

#include <array>
#include <atomic>
#include <optional>
#include <string_view>

// The 88 equal-tempered notes from A0 (index 0) to C8 (index 87); A4 is index 48.
//
// The names never change. The frequencies follow the A4 reference and are rewritten on the
// GUI thread while the analysis threads may be reading them, so each one is an atomic: a reader
// sees either the old or the new value of a row, never a torn one.

constexpr int kNoteCount = 88;
constexpr int kNoteA4 = 48;
constexpr int kNoteFirst = 0;
constexpr int kNoteLast = kNoteCount - 1;

// Pitch classes, index 0 = A.
constexpr std::array<std::string_view, 12> SharpNames = {"A",  "#A", "B", "C",  "#C", "D",
                                                         "#D", "E",  "F", "#F", "G",  "#G"};
constexpr std::array<std::string_view, 12> SharpFlatNames = {
    "A", "#A/bB", "B", "C", "#C/bD", "D", "#D/bE", "E", "F", "#F/bG", "G", "#G/bA"};

// Names of the semitones just outside the table.
constexpr std::string_view kNameBelowTable = "#G0";
constexpr std::string_view kNameAboveTable = "#C8";

// One row as a reader sees it at one moment.
struct NoteEntry {
    double frequency;
    std::string_view name;     // sharps only, e.g. "#A4"
    std::string_view dualName; // both spellings of black keys, e.g. "#A/bB4"
};

class NoteTable {
public:
    NoteTable();

    // Index clamped to 0..87, so a stray index never reads outside the table.
    NoteEntry operator[](int n) const;
    double Frequency(int n) const;
    static std::string_view Name(int n);
    static std::string_view DualName(int n);

    // Only the GUI thread writes.
    void SetFrequency(int n, double frequency);

    static int ClampIndex(int n);

    // The index of a note written as the table writes it: the sharp name ("#C5"), the dual
    // name ("#C/bD5") or the flat alone ("bD5"); letters in either case. Nothing for any
    // other text.
    static std::optional<int> IndexOfName(std::string_view text);

private:
    std::array<std::atomic<double>, kNoteCount> m_frequency;
};
