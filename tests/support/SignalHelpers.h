#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// Test signals: a continuous sine cut into 16384-sample blocks.
class SineBlocks {
public:
    SineBlocks(double hz, double amplitude) : m_hz(hz), m_amplitude(amplitude) {}

    std::vector<std::int16_t> Next(std::size_t count = 16384) {
        const double twoPi = 8.0 * std::atan(1.0);
        std::vector<std::int16_t> block(count);
        for (auto& s : block) {
            s = static_cast<std::int16_t>(
                std::lround(m_amplitude * std::sin(twoPi * m_hz * m_index / 44100.0)));
            ++m_index;
        }
        return block;
    }

private:
    double m_hz;
    double m_amplitude;
    long m_index = 0;
};

inline double CentsBetween(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}
