#include "BandCheck.h"

#include "NoteLockedMeasurement.h"
#include "NoteTable.h"
#include "PitchEstimator.h"

#include <cmath>

BandCheck::BandCheck() : m_spectrum(kFrameSamples / 2) {
    m_fft.Init(kFrameSamples);
}

int BandCheck::Side(std::span<const std::int16_t> frame, int n, const NoteTable& notes) {
    if (!m_fft.IsReady()) {
        return 0;
    }
    m_fft.PrepareFrame(frame);
    m_fft.Transform();
    m_fft.MagnitudeSpectrum(m_spectrum);
    const double hz = EstimatePitch(m_spectrum, m_fft.Count(), notes.Frequency(kNoteFirst),
                                    notes.Frequency(kNoteLast));
    return SideOf(hz, n, notes);
}

int BandCheck::SideOf(double estimateHz, int n, const NoteTable& notes) {
    n = NoteTable::ClampIndex(n);
    const double target = notes.Frequency(n);
    if (!(estimateHz > 0.0) || !(target > 0.0)) {
        return 0;
    }
    const double cents = 1200.0 * std::log2(estimateHz / target);
    if (std::abs(cents) <= NoteLockedMeasurement::BandCents(n)) {
        return 0;
    }
    for (int k = 2; k <= 4; ++k) {
        const double partial = 1200.0 * std::log2(double(k));
        if (std::abs(std::abs(cents) - partial) <= kPartialCents) {
            return 0;
        }
    }
    return cents > 0.0 ? 1 : -1;
}
