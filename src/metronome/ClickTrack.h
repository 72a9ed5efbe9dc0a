#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The metronome's tempo range and time patterns, and the click track it plays in Sound mode.
constexpr int kMinTempo = 30; // beats per minute
constexpr int kMaxTempo = 300;
constexpr int kDefaultTempo = 120;
constexpr std::size_t kClipSamples = 529200; // the longest click track: 12 s at 44100 Hz

// One time pattern: its radio text, its beats per bar (also the lamps of the Light cycle) and
// the loudness of each beat, first beat first.
struct TimePattern {
    std::string_view text;
    int beats;
    std::array<double, 6> accents;
};

inline constexpr std::array<TimePattern, 7> kTimePatterns{{
    {"1", 1, {1.0}},
    {"2", 2, {1.0, 0.3}},
    {"3", 3, {1.0, 0.3, 0.3}},
    {"4", 4, {1.0, 0.3, 0.5, 0.3}},
    {"3+2", 5, {1.0, 0.3, 0.3, 0.5, 0.3}},
    {"2+3", 5, {1.0, 0.3, 0.5, 0.3, 0.3}},
    {"6", 6, {1.0, 0.3, 0.3, 0.5, 0.3, 0.3}},
}};
constexpr int kDefaultPattern = 3; // "4"

// Samples per beat: one minute at 44100 Hz over the tempo, truncated; the tempo is held to
// kMinTempo .. kMaxTempo first.
std::size_t BeatLength(int tempo);

// Writes as many whole bars into clip, from its start, as fit; each beat is the click at the
// beat's accent followed by silence. Returns the samples written, a whole number of bars, so
// the track loops without shifting the beat; 0 when not even one bar fits.
std::size_t RenderClickTrack(std::span<std::int16_t> clip, int tempo, const TimePattern& pattern);
