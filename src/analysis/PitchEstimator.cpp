#include "PitchEstimator.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPeakThreshold = 50.0;
constexpr double kPeakContrast = 4.0;
constexpr int kPeakDistance = 5;
constexpr double kRatioTolerance = 0.05;

int BinOf(double hz, int n) {
    return static_cast<int>(n * hz / kSampleRate);
}

} // namespace

double EstimatePitch(std::span<const double> spectrum, int n, double lowerHz, double upperHz) {
    const int lowBin = BinOf(lowerHz, n);
    const int highBin = BinOf(upperHz, n);

    const int peak = FindStrongestBin(spectrum, lowBin, highBin);
    const int above = FindPeakAbove(spectrum, peak + kPeakDistance, highBin);
    const int below = FindPeakBelow(spectrum, peak - kPeakDistance, lowBin);

    double est = peak;
    if (below != -1) {
        const double r = HarmonicRatio(below, peak);
        if (r > 0) {
            est = r;
        }
    }
    if (above != -1) {
        // Each later peak is compared with the current estimate, not with the strongest bin.
        int next = above;
        for (int i = 0; i < 3; ++i) {
            if (i > 0) {
                next = FindPeakAbove(spectrum, next + kPeakDistance, highBin);
                if (next <= 0) {
                    break;
                }
            }
            const double r = HarmonicRatio(est, next);
            if (r > 0) {
                est = r;
            }
        }
    }
    return est * kSampleRate / n;
}

int FindStrongestBin(std::span<const double> spectrum, int first, int last) {
    const int size = static_cast<int>(spectrum.size());
    int best = first;
    if (first < 0 || first >= size) {
        return best;
    }
    for (int k = first + 1; k <= last && k < size; ++k) {
        if (spectrum[k] > spectrum[best]) {
            best = k;
        }
    }
    return best;
}

bool IsQualifyingPeak(std::span<const double> spectrum, int bin) {
    const int size = static_cast<int>(spectrum.size());
    if (bin - kPeakDistance < 0 || bin + kPeakDistance >= size) {
        return false;
    }
    const double s = spectrum[bin];
    return s > kPeakThreshold && s > kPeakContrast * spectrum[bin + kPeakDistance] &&
           s > kPeakContrast * spectrum[bin - kPeakDistance];
}

int FindPeakAbove(std::span<const double> spectrum, int start, int end) {
    end = std::min(end, static_cast<int>(spectrum.size()) - 1);
    for (int a = start; a <= end; ++a) {
        if (IsQualifyingPeak(spectrum, a)) {
            return a;
        }
    }
    return -1;
}

int FindPeakBelow(std::span<const double> spectrum, int start, int end) {
    end = std::max(end, 0);
    for (int a = start; a >= end; --a) {
        if (IsQualifyingPeak(spectrum, a)) {
            return a;
        }
    }
    return -1;
}

double HarmonicRatio(double a, double b) {
    const double ratio = b / a;
    for (int i = 2; i <= 7; ++i) {
        for (int j = 1; j < i; ++j) {
            if (std::fabs(static_cast<double>(i) / j - ratio) < kRatioTolerance) {
                return b / i;
            }
        }
    }
    return -1.0;
}
