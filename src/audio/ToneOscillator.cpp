#include "ToneOscillator.h"

#include "AudioFormat.h"

#include <cmath>

double ToneOscillator::Next(double hz) {
    const double v = m_weights.octave * std::sin(2.0 * m_dPhase) +
                     m_weights.fundamental * std::sin(m_dPhase) +
                     m_weights.twelfth * std::sin(3.0 * m_dPhase);
    Skip(hz);
    return v;
}

void ToneOscillator::Skip(double hz) {
    const double twoPi = 8.0 * std::atan(1.0);
    m_dPhase += twoPi * hz / kSampleRate;
    if (m_dPhase > twoPi) {
        m_dPhase -= twoPi;
    }
}
