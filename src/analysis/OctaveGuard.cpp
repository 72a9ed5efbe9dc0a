#include "OctaveGuard.h"

#include "AudioFormat.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Bins either side of a partial whose median is its noise: 5 % of its frequency, so that the
// wide skirts of a high, fast-decaying partial do not count as noise, within these limits.
constexpr int kMinNoiseReach = 32;
constexpr int kMaxNoiseReach = 512;

} // namespace

double OctaveGuard::PartialLevel(std::span<const double> spectrum, int n, double f) {
    const double bin = f * n / kSampleRate;
    const double reach = std::max(2.0, bin * 0.015);
    const auto first = static_cast<std::ptrdiff_t>(std::max(0.0, std::floor(bin - reach)));
    const auto last = std::min(static_cast<std::ptrdiff_t>(std::ceil(bin + reach)),
                               static_cast<std::ptrdiff_t>(spectrum.size()) - 1);
    double level = 0.0;
    for (std::ptrdiff_t k = first; k <= last; ++k) {
        level = std::max(level, spectrum[static_cast<std::size_t>(k)]);
    }
    return level;
}

bool OctaveGuard::IsPresent(std::span<const double> spectrum, int n, double f) {
    const double level = PartialLevel(spectrum, n, f);
    if (level < kMinLevel) {
        return false;
    }
    const auto size = static_cast<std::ptrdiff_t>(spectrum.size());
    const auto centre = static_cast<std::ptrdiff_t>(std::lround(f * n / kSampleRate));
    const auto reach = std::clamp<std::ptrdiff_t>(centre / 20, kMinNoiseReach, kMaxNoiseReach);
    const std::ptrdiff_t first = std::clamp<std::ptrdiff_t>(centre - reach, 0, size);
    const std::ptrdiff_t last = std::clamp<std::ptrdiff_t>(centre + reach + 1, 0, size);
    std::array<double, 2 * kMaxNoiseReach + 1> around{};
    const auto count = static_cast<std::size_t>(last - first);
    if (count == 0) {
        return false;
    }
    std::copy(spectrum.begin() + first, spectrum.begin() + last, around.begin());
    const auto middle = around.begin() + static_cast<std::ptrdiff_t>(count / 2);
    std::nth_element(around.begin(), middle, around.begin() + static_cast<std::ptrdiff_t>(count));
    return level >= kAboveNoise * *middle;
}

double OctaveGuard::Refine(std::span<const double> spectrum, int n, double f) {
    // Each present partial's peak, placed between bins by a parabola through the logarithms
    // of its three highest bins, gives f; the partials vote by their level.
    double sum = 0.0;
    double weight = 0.0;
    for (int h = 1; h <= 8 && h * f < kSampleRate / 2.0; ++h) {
        if (!IsPresent(spectrum, n, h * f)) {
            continue;
        }
        const double bin = h * f * n / kSampleRate;
        const double reach = std::max(2.0, bin * 0.015);
        auto peak = static_cast<std::size_t>(std::max(1.0, std::floor(bin - reach)));
        const auto last =
            std::min(static_cast<std::size_t>(std::ceil(bin + reach)), spectrum.size() - 2);
        for (std::size_t k = peak; k <= last; ++k) {
            if (spectrum[k] > spectrum[peak]) {
                peak = k;
            }
        }
        const double a = std::log(spectrum[peak - 1] + 1e-9);
        const double b = std::log(spectrum[peak] + 1e-9);
        const double c = std::log(spectrum[peak + 1] + 1e-9);
        const double d = a - 2.0 * b + c;
        const double offset = d < 0.0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0.0;
        sum += spectrum[peak] * (static_cast<double>(peak) + offset) * kSampleRate / n / h;
        weight += spectrum[peak];
    }
    return weight > 0.0 ? sum / weight : f;
}

double OctaveGuard::Sum(std::span<const double> spectrum, int n, double f, int first, int step) {
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) {
        sum += PartialLevel(spectrum, n, (first + step * k) * f);
    }
    return sum;
}

bool OctaveGuard::InRange(double f) const {
    const double leeway = std::pow(2.0, 50.0 / 1200.0);
    return f >= m_dLowest / leeway && f <= m_dHighest * leeway;
}

std::optional<double> OctaveGuard::Check(std::span<const double> spectrum, int n, double hz) const {
    if (!(hz > 0.0) || !std::isfinite(hz)) {
        return std::nullopt;
    }
    double f = 0.0;
    for (int h = 1; h <= 8 && h * hz < kSampleRate / 2.0; ++h) {
        if (IsPresent(spectrum, n, h * hz)) {
            f = h * hz;
            break;
        }
    }
    if (f == 0.0) {
        // Nothing of the estimate is in the sound (a ratio to a peak of noise): the sound's
        // strongest partial is the lowest there is to go by.
        const auto first = static_cast<std::size_t>(m_dLowest * n / kSampleRate);
        const auto last =
            std::min(static_cast<std::size_t>(m_dHighest * n / kSampleRate), spectrum.size() - 1);
        std::size_t strongest = first;
        for (std::size_t k = first; k <= last; ++k) {
            if (spectrum[k] > spectrum[strongest]) {
                strongest = k;
            }
        }
        const double peak = static_cast<double>(strongest) * kSampleRate / n;
        if (IsPresent(spectrum, n, peak)) {
            f = peak;
        }
    }
    if (f == 0.0 || !InRange(f)) {
        return std::nullopt;
    }
    const double half = f / 2.0;
    if (InRange(half) && (IsPresent(spectrum, n, half) || IsPresent(spectrum, n, 3.0 * half)) &&
        Sum(spectrum, n, half, 1, 2) >= kHalfPresent * Sum(spectrum, n, f, 1, 1)) {
        return Refine(spectrum, n, half);
    }
    const double third = f / 3.0;
    const double beside = Sum(spectrum, n, third, 1, 1) - PartialLevel(spectrum, n, f);
    if (InRange(third) && (IsPresent(spectrum, n, third) || IsPresent(spectrum, n, 2.0 * third)) &&
        beside >= kHalfPresent * Sum(spectrum, n, f, 1, 1)) {
        return Refine(spectrum, n, third);
    }
    return Refine(spectrum, n, f);
}
