#pragma once

#include "ComplexFft.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class NoteTable;

// Pitch measurement used while the user has chosen a note: a decimated history of the input is
// band-pass filtered around the note in the frequency domain, and the spacing of the sign
// changes of the filtered signal gives the period. Runs on the GUI thread, once per block.
class NoteLockedMeasurement {
public:
    static constexpr int kSize = 16384;
    static constexpr int kMaxCrossings = 800;

    struct Band {
        int lo;
        int hi;
    };

    // Plans the filter's transforms.
    NoteLockedMeasurement();

    // Empties the history.
    void Clear();

    // Shifts the history left and appends every x-th sample of the block (no anti-alias
    // filtering), so the history spans x blocks at 44100 / x samples per second.
    void AppendDecimated(std::span<const std::int16_t> block, int x);

    // Frequency in Hz of the sound around note n, or nothing for this block.
    std::optional<double> NoteLockedMeasure(int n, const NoteTable& notes);
    // The same on a history decimated by x instead of NoteFactor (n), counting the sign
    // changes only between margin values from either end.
    std::optional<double> NoteLockedMeasure(int n, const NoteTable& notes, int x, int margin);

    // Keeps bins lo+1 .. hi-1 (and their mirror images) of the history, in place.
    void BandPass(int lo, int hi);

    // 44100 / (2 * mean half-period) of the history, from at least six sign changes; with a
    // margin, of history[margin .. kSize - margin - 1] only.
    std::optional<double> MeasureZeroCrossings(int margin = 0) const;

    // Decimation factor for note n: 8, 4, 2 or 1.
    static int NoteFactor(int n);
    // Half-width of the pass band around note n, in cents.
    static int BandCents(int n);
    // Bins of the 16384-point transform bounding the band around target Hz.
    static Band BandBins(double targetHz, int cents);

    std::span<const double, kSize> History() const { return m_history; }
    std::span<double, kSize> History() { return m_history; }

private:
    std::array<double, kSize> m_history{};
    std::array<double, kSize> m_window{};
    std::array<double, kSize> m_real{};
    std::array<double, kSize> m_imag{};
    ComplexFft m_fft{kSize};
};
