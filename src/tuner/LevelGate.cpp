#include "LevelGate.h"

#include <algorithm>
#include <cmath>

void LevelGate::SetThreshold(double db) {
    m_dThreshold = std::isfinite(db) ? std::clamp(db, double(kMinDb), double(kMaxDb)) : kDefaultDb;
}

LevelGate::Change LevelGate::Admit(std::span<const std::int16_t> block) {
    m_dLevel = LevelDb(block);
    const bool wasOpen = m_bOpen;
    m_bOpen = m_dLevel >= m_dThreshold;
    if (!m_bOpen) {
        return Change::Quiet;
    }
    return wasOpen ? Change::Sounding : Change::Returned;
}

void LevelGate::Close() {
    m_bOpen = false;
    m_dLevel = kSilenceDb;
}

double LevelGate::LevelDb(std::span<const std::int16_t> block) {
    if (block.empty()) {
        return kSilenceDb;
    }
    double sum = 0.0;
    for (const std::int16_t s : block) {
        sum += double(s) * double(s);
    }
    // A full-scale sine has an RMS of 32768 / sqrt(2): that is 0 dB.
    const double rms = std::sqrt(sum / double(block.size()));
    const double db = 20.0 * std::log10(rms * std::sqrt(2.0) / 32768.0);
    return std::isfinite(db) ? std::max(db, kSilenceDb) : kSilenceDb;
}
