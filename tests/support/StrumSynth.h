#pragma once

// Synthetic plucked strings for tests and benchmarks: stiff strings (partials stretched by
// inharmonicity), each partial decaying at its own rate, plucked at a point along the string.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

struct SynthString {
    double hz = 110.0;       // the fundamental partial's frequency: the string's true pitch
    double start = 0.0;      // seconds into the sound
    double amplitude = 0.2;  // of a string plucked in its middle, full scale = 1
    double pluck = 0.2;      // where along the string it is plucked, 0..0.5
    double stiffness = 1e-4; // inharmonicity coefficient
    double decay = 3.0;      // seconds for the fundamental to fall by 1/e
};

// The frequency of the string's partial k, stretched by its stiffness.
inline double PartialHz(const SynthString& s, int k) {
    return k * (s.hz / std::sqrt(1.0 + s.stiffness)) * std::sqrt(1.0 + s.stiffness * k * k);
}

// Adds the strings into samples (full scale 1) at 44100 Hz.
inline void AddStrings(std::vector<double>& samples, const std::vector<SynthString>& strings,
                       std::uint32_t seed) {
    const double pi = std::acos(-1.0);
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> phase(0.0, 2.0 * pi);
    for (const SynthString& s : strings) {
        const auto first = static_cast<std::size_t>(s.start * 44100.0);
        for (int k = 1; k <= 40; ++k) {
            const double f = PartialHz(s, k);
            if (f > 10000.0) {
                break;
            }
            const double a = s.amplitude * std::abs(std::sin(k * pi * s.pluck)) / k;
            const double tau = s.decay / (1.0 + 0.25 * (k - 1));
            const double p = phase(random);
            const double w = 2.0 * pi * f / 44100.0;
            for (std::size_t i = first; i < samples.size(); ++i) {
                const double t = static_cast<double>(i - first) / 44100.0;
                const double attack = std::min(1.0, t / 0.002);
                samples[i] += attack * a * std::exp(-t / tau) * std::sin(w * (i - first) + p);
            }
        }
    }
}

inline std::vector<std::int16_t> ToSamples(const std::vector<double>& samples) {
    std::vector<std::int16_t> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [](double v) {
        return static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    });
    return out;
}
