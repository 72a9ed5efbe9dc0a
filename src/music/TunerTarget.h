#pragma once

// What the tuner is set to, as kept between runs: the mode, and a target of some kind with its
// value. A note is the one kind so far; another kind adds itself to Kind.
struct TunerTarget {
    enum class Mode { NoteLocked = 0, Automatic = 1, PreciseAutomatic = 2 };
    enum class Kind { Note = 0 };

    Mode mode = Mode::NoteLocked;
    Kind kind = Kind::Note;
    int value = 48; // the note's index: A4

    bool operator==(const TunerTarget&) const = default;
};
