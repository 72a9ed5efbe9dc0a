#pragma once

// What the tuner is set to, as kept between runs: the mode, and a target of some kind with its
// value: a note (its index), or an instrument whose strings are all shown (its index in the
// instrument table).
struct TunerTarget {
    enum class Mode { NoteLocked = 0, Automatic = 1, PreciseAutomatic = 2 };
    enum class Kind { Note = 0, Instrument = 1 };

    Mode mode = Mode::NoteLocked;
    Kind kind = Kind::Note;
    int value = 48; // the note's index (A4), or the instrument's

    bool operator==(const TunerTarget&) const = default;
};
