#pragma once

#include "AudioFormat.h"

#include <span>

// Harmonic-aware fundamental estimate from a magnitude spectrum: the strongest bin between the
// limits, corrected and refined by small-integer ratios to at most one distinct peak below it
// and three above. Bins are not interpolated.

// Frequency in Hz of the fundamental found in spectrum (bin k is k * 44100 / n Hz). Without
// further peaks this is the strongest bin's frequency; it never fails.
double EstimatePitch(std::span<const double> spectrum, int n, double lowerHz, double upperHz);

// The bin with the largest value in first..last; among equal values the lowest. first when
// last < first.
int FindStrongestBin(std::span<const double> spectrum, int first, int last);

// A bin stands out as a peak when it is above 50 and more than four times the bins five away on
// either side. Bins too near either end of the spectrum to compare never qualify.
bool IsQualifyingPeak(std::span<const double> spectrum, int bin);

// The first qualifying peak from start upwards to end inclusive, or -1.
int FindPeakAbove(std::span<const double> spectrum, int start, int end);

// The first qualifying peak from start downwards to end inclusive, or -1.
int FindPeakBelow(std::span<const double> spectrum, int start, int end);

// b / i for the first ratio i/j (2/1, 3/1, 3/2, 4/1 ... 7/6) within 0.05 of b / a, else -1.0.
// a and b are in bins, b the higher.
double HarmonicRatio(double a, double b);
