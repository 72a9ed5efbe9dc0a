#include "TunerReadout.h"

#include "Doreme.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// "%.2fHz" with a point whatever the C library's locale: the windowing toolkit applies the
// user's locale to it, and a German one would turn the point into a comma.
std::string FormatHz(double hz) {
    char text[320]; // room for the largest double
    const auto end = std::to_chars(text, text + sizeof text, hz, std::chars_format::fixed, 2);
    return std::string(text, end.ptr) + "Hz";
}

} // namespace

TunerReadout::TunerReadout(const CDoreme& doreme)
    : m_doreme(doreme), m_dSmoothed(CDoreme::kDefaultFreqA4) {}

void TunerReadout::ShowPitch(double x) {
    if (!(x >= 1.0) || !std::isfinite(x)) {
        m_strPitch.clear();
        m_strHigh.clear();
        m_strLow.clear();
        m_nOutOfBand = 0;
        return;
    }
    m_nOutOfBand = 0;
    m_dSmoothed = m_bAfresh ? x : (x + 2.0 * m_dSmoothed) / 3.0;
    m_bAfresh = false;
    const double d = m_doreme.CentsDeviation(m_dSmoothed, m_nNote);
    m_strHigh = d > 99.0 ? "H" : "";
    m_strLow = d < -99.0 ? "L" : "";

    // Truncated toward zero; the clamp keeps a wild value inside int before the cast.
    m_nCents = static_cast<int>(std::clamp(d, -1e6, 1e6));
    m_strPitch = FormatHz(m_dSmoothed) + " (" + std::to_string(m_nCents) + "Cents)";
    m_nMeter = std::clamp(m_nCents, -kMeterRange, kMeterRange);
}

void TunerReadout::ShowNothingHeard() {
    ShowPitch(0.0);
    m_nMeter = 0;
}

void TunerReadout::ShowOutOfBand(int side) {
    m_nOutOfBand = std::clamp(side, -1, 1);
    if (m_nOutOfBand == 0) {
        return;
    }
    m_strPitch.clear();
    m_strHigh = m_nOutOfBand > 0 ? "H" : "";
    m_strLow = m_nOutOfBand < 0 ? "L" : "";
    m_nMeter = m_nOutOfBand * kMeterRange;
}

bool TunerReadout::ApplyAutomaticResult(double hz) {
    const auto note = m_doreme.NearestNoteIndex(hz);
    if (!note) {
        return false;
    }
    m_nNote = *note;
    ShowPitch(hz);
    return true;
}

void TunerReadout::ApplyPreciseResult(int note, double hz, bool restart) {
    m_nNote = std::clamp(note, kNoteFirst, kNoteLast);
    if (restart && hz >= 1.0 && std::isfinite(hz)) {
        m_dSmoothed = hz;
    }
    ShowPitch(hz);
}

void TunerReadout::SelectNote(int note) {
    m_bAuto = false;
    m_nNote = std::clamp(note, kNoteFirst, kNoteLast);
}

void TunerReadout::HalfTone(int delta) {
    m_bAuto = false;
    m_nNote = std::clamp(m_nNote + delta, kNoteFirst, kNoteLast);
}

std::array<TunerReadout::Neighbour, 3> TunerReadout::Neighbours() const {
    std::array<Neighbour, 3> result;
    for (int i = 0; i < 3; ++i) {
        const int k = m_nNote + i - 1;
        // Beyond the table the sharp name alone, as "#G0" and "#C8" have always been shown.
        if (k < kNoteFirst) {
            result[i] = {m_doreme.NoteName(k), FormatHz(m_doreme.FrequencyBelowTable())};
        } else if (k > kNoteLast) {
            result[i] = {m_doreme.NoteName(k), FormatHz(m_doreme.FrequencyAboveTable())};
        } else {
            result[i] = {m_doreme.NoteDualName(k), FormatHz(m_doreme.Frequency(k))};
        }
    }
    return result;
}
