#include "Doreme.h"

#include <algorithm>
#include <cmath>

namespace {
const double kSemitone = std::pow(2.0, 1.0 / 12.0);
} // namespace

CDoreme::CDoreme() {
    BuildNoteTable();
}

void CDoreme::SetFreqA4(double hz) {
    if (!std::isnan(hz)) {
        m_dFreqA4 = std::clamp(hz, kMinFreqA4, kMaxFreqA4);
    }
    BuildNoteTable();
}

void CDoreme::BuildNoteTable() {
    for (int n = 0; n < kNoteCount; ++n) {
        m_table.SetFrequency(n, m_dFreqA4 * std::pow(2.0, (n - kNoteA4) / 12.0));
    }
}

std::optional<int> CDoreme::NearestNoteIndex(double f) const {
    if (!(f > 0.0) || !std::isfinite(f) || !(m_dFreqA4 > 0.0)) {
        return std::nullopt;
    }
    const double cents = std::trunc(1200.0 * std::log2(f / m_dFreqA4));
    // Far outside the table; also keeps the conversion to int defined.
    if (cents < -10000.0 || cents > 10000.0) {
        return std::nullopt;
    }
    const int c = static_cast<int>(cents);
    // Integer division truncates toward zero, so c from -4949 to -4851 still gives A0.
    const int index = (4850 + c) / 100;
    if (index < kNoteFirst || index > kNoteLast) {
        return std::nullopt;
    }
    return index;
}

double CDoreme::CentsDeviation(double f, int n) const {
    return 1200.0 * std::log2(f / m_table.Frequency(n));
}

double CDoreme::FrequencyBelowTable() const {
    return m_table.Frequency(kNoteFirst) / kSemitone;
}

double CDoreme::FrequencyAboveTable() const {
    return m_table.Frequency(kNoteLast) * kSemitone;
}

CDoreme& TheDoreme() {
    static CDoreme doreme;
    return doreme;
}
