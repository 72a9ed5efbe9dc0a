#pragma once

#include "Fft.h"

#include <cstdint>
#include <span>
#include <vector>

class NoteTable;

// Tells whether the sound lies outside the band the note-locked measurement sees around its
// note, from the automatic estimate of the same two blocks. A sound whose estimate is a whole
// multiple or a whole fraction of the note (up to four) is taken as within: the band then holds
// one of its partials, or its estimate may have picked a partial instead of the fundamental.
class BandCheck {
public:
    static constexpr int kFrameSamples = 32768;
    // How near a whole ratio an estimate must lie to count as a partial, in cents.
    static constexpr double kPartialCents = 50.0;

    BandCheck();

    // +1 when the sound in frame (oldest sample first) lies above the band of note n, -1 below
    // it, 0 within it or when there is no transform.
    int Side(std::span<const std::int16_t> frame, int n, const NoteTable& notes);

    // The same for an estimate already made.
    static int SideOf(double estimateHz, int n, const NoteTable& notes);

private:
    CFft m_fft;
    std::vector<double> m_spectrum;
};
