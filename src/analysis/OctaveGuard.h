#pragma once

#include <optional>
#include <span>

// Checks an estimate of the fundamental against the octaves around it before the tuner locks
// onto a note, from the partials in a magnitude spectrum (bin k is k * 44100 / n Hz).
//
// A partial is present when it stands clear of the noise around it. First the estimate is
// moved up to its lowest present partial: an estimate with nothing at it fell below the sound
// (a subharmonic, or a divisor of a lone partial in noise), and that partial is the lowest
// the sound has; an estimate none of whose first eight partials is present gives way to the
// strongest partial of the spectrum. Then the octave below is checked: real energy at the odd
// multiples of f / 2 (f / 2, 3 f / 2, 5 f / 2, 7 f / 2), which no tone at f has, makes f / 2 the
// fundamental, however weak the partial at f / 2 itself is. The third partial of a string or a
// pipe is rarely weak, so a fundamental a tenth as strong as its octave is still found. The
// twelfth below (f / 3) is checked the same way: a decaying string's third partial may outlast
// a faint fundamental. The result is refined between bins from the peaks of its partials.
//
// Returns the fundamental, or nothing when no partial stands out (silence or noise). Only
// fundamentals between lowestHz and highestHz (a quarter tone of leeway) are chosen.
class OctaveGuard {
public:
    // The weakest partial that counts, in the units of a spectrum scaled by 2 / n with a Hann
    // window (half the amplitude of a sine): a sine of one step of the 16-bit samples, 90 dB
    // below full scale. Above it, the noise around a partial decides.
    static constexpr double kMinLevel = 0.5;
    // A present partial is this many times the median of the spectrum around it.
    static constexpr double kAboveNoise = 10.0;
    // Energy at the odd multiples of f / 2 (or beside the partials of f at f / 3, 2 f / 3 and
    // 4 f / 3) of at least this share of the partials of f makes f / 2 (or f / 3) the
    // fundamental.
    static constexpr double kHalfPresent = 0.15;

    OctaveGuard(double lowestHz, double highestHz) : m_dLowest(lowestHz), m_dHighest(highestHz) {}

    std::optional<double> Check(std::span<const double> spectrum, int n, double hz) const;

    // The largest value within 1.5 % of f (at least two bins either side); 0 beyond the spectrum.
    static double PartialLevel(std::span<const double> spectrum, int n, double f);
    // Whether the partial at f stands clear of the noise around it.
    static bool IsPresent(std::span<const double> spectrum, int n, double f);
    // The fundamental near f that the peaks of its present partials give, between bins.
    static double Refine(std::span<const double> spectrum, int n, double f);

private:
    // The sum of the levels of (first + step * k) * f for k = 0 .. 3.
    static double Sum(std::span<const double> spectrum, int n, double f, int first, int step);
    bool InRange(double f) const;

    double m_dLowest;
    double m_dHighest;
};
