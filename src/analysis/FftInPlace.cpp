#include "FftInPlace.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <utility>

namespace {

const double kPi = 4.0 * std::atan(1.0);

// The yielding variant gives up the processor at the start of every stage and once per this
// many indices of the reordering pass. A yield per index would cost ten times the arithmetic,
// and on a busy machine each yield can hand the core away for a whole time slice.
constexpr std::size_t kIndicesPerYield = 1024;

bool IsPowerOfTwo(std::size_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

template <bool Yield> void Transform(std::span<double> re, std::span<double> im, double theta) {
    if (re.size() != im.size() || !IsPowerOfTwo(re.size())) {
        return;
    }
    const std::size_t n = re.size();

    std::size_t span = n;
    std::size_t half = n / 2;
    double step = theta;
    while (half >= 1) {
        if constexpr (Yield) {
            std::this_thread::yield();
        }
        for (std::size_t j = 0; j < half; ++j) {
            // Twiddles are computed afresh for each j; there is no table.
            const double c = std::cos(static_cast<double>(j) * step);
            const double s = std::sin(static_cast<double>(j) * step);
            for (std::size_t k = j; k < n; k += span) {
                const double t1 = re[k] - re[k + half];
                const double t2 = im[k] - im[k + half];
                re[k] = re[k] + re[k + half];
                im[k] = im[k] + im[k + half];
                re[k + half] = t1 * c - t2 * s;
                im[k + half] = t1 * s + t2 * c;
            }
        }
        step = 2.0 * step;
        span = half;
        half = half / 2;
    }

    // Bit-reversal reordering; the first and last index never move.
    std::size_t r = 0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if constexpr (Yield) {
            if (i % kIndicesPerYield == 1) {
                std::this_thread::yield();
            }
        }
        r ^= n / 2;
        std::size_t m = n / 2;
        while (m > r) {
            m /= 2;
            r ^= m;
        }
        if (i < r) {
            std::swap(re[i], re[r]);
            std::swap(im[i], im[r]);
        }
    }
}

} // namespace

void FftInPlace(std::span<double> re, std::span<double> im, double theta) {
    Transform<false>(re, im, theta);
}

void FftInPlaceYielding(std::span<double> re, std::span<double> im, double theta) {
    Transform<true>(re, im, theta);
}

void MagnitudeSpectrum(std::span<const double> re, std::span<const double> im,
                       std::span<double> spectrum, double scale) {
    const std::size_t count = std::min({spectrum.size(), re.size(), im.size()});
    for (std::size_t k = 0; k < count; ++k) {
        spectrum[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]) * scale;
    }
}

double ForwardTheta(int n) {
    return -2.0 * kPi / n;
}

double InverseTheta(int n) {
    return 2.0 * kPi / n;
}
