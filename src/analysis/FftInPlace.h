#pragma once

#include <span>

// Radix-2 decimation-in-frequency transform of re/im in place, natural order in and out, no
// scaling. The size is re.size(), which must equal im.size() and be a power of two; anything
// else leaves the arrays untouched. theta is the angle step: -2*pi/n forward, +2*pi/n gives
// n times the inverse.
void FftInPlace(std::span<double> re, std::span<double> im, double theta);

// The same transform, giving up the processor at the start of every stage and every 1024
// indices of the reordering pass, so a large transform on a background thread never starves the
// user interface.
void FftInPlaceYielding(std::span<double> re, std::span<double> im, double theta);

// spectrum[k] = |X[k]| * scale for every k of spectrum (at most re.size() values).
void MagnitudeSpectrum(std::span<const double> re, std::span<const double> im,
                       std::span<double> spectrum, double scale);

// Angle steps of the forward and inverse transform of size n.
double ForwardTheta(int n);
double InverseTheta(int n);

// The three sizes the program transforms at.
constexpr int kTunerFftSize = 32768;      // the analysis worker's frame, two blocks
constexpr int kDisplayFftSize = 32768;    // one block, zero-padded, on the capture thread
constexpr int kNoteLockedFftSize = 16384; // the note-locked band-pass filter
