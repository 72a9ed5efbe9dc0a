#include "StrobePhase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

StrobePhase::StrobePhase(double sampleRate)
    : m_dRate(sampleRate > 0.0 ? sampleRate : 44100.0),
      m_dKeep(std::exp(-1.0 / (kMemorySeconds * m_dRate))),
      m_dFadeKeep(std::exp(-1.0 / (kFadeSeconds * m_dRate))) {}

void StrobePhase::SetTarget(double hz) {
    const double target = std::isfinite(hz) && hz > 0.0 ? hz : 0.0;
    if (target == m_dTarget) {
        return;
    }
    m_dTarget = target;
    for (int k = 0; k < kRows; ++k) {
        m_reference[k] = 1.0;
        m_step[k] = std::polar(1.0, -2.0 * std::numbers::pi * (k + 1) * target / m_dRate);
        m_average[k] = 0.0;
    }
}

void StrobePhase::Process(std::span<const std::int16_t> samples) {
    const double take = 1.0 - m_dKeep;
    m_nSamples += samples.size();
    for (const std::int16_t sample : samples) {
        const double x = sample;
        m_dPower = m_dKeep * m_dPower + take * x * x;
        for (int k = 0; k < kRows; ++k) {
            m_average[k] = m_dKeep * m_average[k] + take * x * m_reference[k];
            m_reference[k] *= m_step[k];
        }
    }
    // The products drift off the unit circle by rounding; bring them back once per call.
    for (auto& reference : m_reference) {
        reference /= std::abs(reference);
    }

    // A sine wholly in row k's partial gives |average| = amplitude / 2 and power =
    // amplitude^2 / 2, so the share below is 1 for it and near 0 where the partial is absent.
    const double fade = std::pow(m_dFadeKeep, static_cast<double>(samples.size()));
    for (int k = 0; k < kRows; ++k) {
        double wanted = 0.0;
        if (m_dTarget > 0.0 && m_dPower > 1.0) {
            const double share = std::abs(m_average[k]) * std::numbers::sqrt2 / std::sqrt(m_dPower);
            wanted = std::clamp((share - 0.05) / 0.15, 0.0, 1.0);
        }
        m_presence[k] = wanted + (m_presence[k] - wanted) * fade;
    }
}

double StrobePhase::Offset(int row) const {
    if (row < 0 || row >= kRows) {
        return 0.0;
    }
    return std::arg(m_average[row]) / (2.0 * std::numbers::pi);
}

double StrobePhase::Presence(int row) const {
    return row >= 0 && row < kRows ? m_presence[row] : 0.0;
}
