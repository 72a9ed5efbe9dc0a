#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The metronome's click: 864 samples at 44100 Hz (19.6 ms), a short percussive tap that reaches
// +32767 and -32768 a few milliseconds in and has died away by its last sample.
constexpr std::size_t kClickSamples = 864;
extern const std::array<std::int16_t, kClickSamples> kClick;
