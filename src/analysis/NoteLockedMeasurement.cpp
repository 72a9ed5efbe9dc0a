#include "NoteLockedMeasurement.h"

#include "AudioFormat.h"
#include "NoteTable.h"

#include <algorithm>
#include <cmath>

NoteLockedMeasurement::NoteLockedMeasurement() {
    m_window.fill(1.0);
}

void NoteLockedMeasurement::Clear() {
    m_history.fill(0.0);
}

int NoteLockedMeasurement::NoteFactor(int n) {
    if (n <= 0) {
        return 8;
    }
    if (n <= 12) {
        return 4;
    }
    if (n <= 24) {
        return 2;
    }
    return 1;
}

int NoteLockedMeasurement::BandCents(int n) {
    if (n <= 12) {
        return 800;
    }
    if (n <= 15) {
        return 600;
    }
    if (n <= 20) {
        return 500;
    }
    if (n <= 29) {
        return 400;
    }
    if (n <= 53) {
        return 300;
    }
    return 200;
}

NoteLockedMeasurement::Band NoteLockedMeasurement::BandBins(double targetHz, int cents) {
    const double binsPerHz = static_cast<double>(kSize) / kSampleRate;
    return Band{static_cast<int>(std::pow(2.0, -cents / 1200.0) * targetHz * binsPerHz),
                static_cast<int>(std::pow(2.0, cents / 1200.0) * targetHz * binsPerHz)};
}

void NoteLockedMeasurement::AppendDecimated(std::span<const std::int16_t> block, int x) {
    x = std::clamp(x, 1, 8);
    const int d = kSize / x;
    const int keep = kSize - d;
    std::copy(m_history.begin() + d, m_history.end(), m_history.begin());
    for (int m = 0; m < d; ++m) {
        const std::size_t source = static_cast<std::size_t>(m) * x;
        m_history[keep + m] = source < block.size() ? static_cast<double>(block[source]) : 0.0;
    }
}

std::optional<double> NoteLockedMeasurement::NoteLockedMeasure(int n, const NoteTable& notes) {
    return NoteLockedMeasure(n, notes, NoteFactor(n), 0);
}

std::optional<double> NoteLockedMeasurement::NoteLockedMeasure(int n, const NoteTable& notes, int x,
                                                               int margin) {
    x = std::clamp(x, 1, 8);
    const double target = x * notes.Frequency(n);
    const Band band = BandBins(target, BandCents(n));
    BandPass(band.lo, band.hi);
    if (const auto v = MeasureZeroCrossings(margin)) {
        return *v / x;
    }
    return std::nullopt;
}

void NoteLockedMeasurement::BandPass(int lo, int hi) {
    for (int k = 0; k < kSize; ++k) {
        m_real[k] = m_history[k] * m_window[k];
        m_imag[k] = 0.0;
    }
    m_fft.Forward(m_real, m_imag);

    // Each cleared bin is paired with kSize - 1 - k; the imaginary part of the result is
    // dropped, so the asymmetry only shifts the pass band by a fraction of a bin.
    const int lastLow = std::min(lo, kSize / 2 - 1);
    for (int m = 0; m <= lastLow; ++m) {
        m_real[m] = m_imag[m] = 0.0;
        m_real[kSize - 1 - m] = m_imag[kSize - 1 - m] = 0.0;
    }
    if (hi < kSize / 2) {
        for (int k = std::max(hi, 0); k < kSize / 2; ++k) {
            m_real[k] = m_imag[k] = 0.0;
            m_real[kSize - 1 - k] = m_imag[kSize - 1 - k] = 0.0;
        }
    }

    m_fft.Inverse(m_real, m_imag);
    for (int k = 0; k < kSize; ++k) {
        m_history[k] = m_real[k] / kSize;
    }
}

std::optional<double> NoteLockedMeasurement::MeasureZeroCrossings(int margin) const {
    // Start at the first non-zero value from 100 on; the earliest samples may be the filter's
    // wrap-around.
    margin = std::clamp(margin, 0, kSize / 4);
    int s = std::max(kSize / 2, margin);
    int state = 0;
    for (int k = std::max(100, margin); k < kSize / 2; ++k) {
        if (m_history[k] != 0.0) {
            s = k;
            state = m_history[k] > 0.0 ? 1 : -1;
            break;
        }
    }

    std::array<int, kMaxCrossings> runs{};
    int changes = 0;
    for (int k = s; k < kSize - margin; ++k) {
        if (m_history[k] > 0.0 && state == -1) {
            ++changes;
            state = 1;
        } else if (m_history[k] < 0.0 && state == 1) {
            ++changes;
            state = -1;
        }
        if (changes >= kMaxCrossings) {
            break;
        }
        ++runs[changes];
    }

    // Leave out the partial first run and everything from run m - 1 on.
    const int m = changes - changes % 2;
    if (m < 6) {
        return std::nullopt;
    }
    double sum = 0.0;
    for (int r = 1; r <= m - 2; ++r) {
        sum += runs[r];
    }
    const double mean = sum / (m - 2);
    return (kSize / mean) * 0.5 * (static_cast<double>(kSampleRate) / kSize);
}
