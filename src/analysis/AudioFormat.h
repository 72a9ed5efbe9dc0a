#pragma once

// The one format every part of the program works in: signed 16-bit mono samples at 44100 Hz,
// captured and played in blocks of 16384 samples (0.3715 s).
constexpr int kSampleRate = 44100;
constexpr int kBlockSamples = 16384;

// The display transform on the capture thread: one block, zero-padded to twice its length.
constexpr int kDisplayFftSize = 2 * kBlockSamples;
