#include "Doreme.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {
const double kSemitone = std::pow(2.0, 1.0 / 12.0);
} // namespace

CDoreme::CDoreme() {
    BuildNoteTable();
}

void CDoreme::SetFreqA4(double hz) {
    if (!std::isnan(hz)) {
        m_dFreqA4.store(std::clamp(hz, kMinFreqA4, kMaxFreqA4), std::memory_order_release);
    }
    BuildNoteTable();
}

void CDoreme::SetTemperament(const Temperament& temperament, int root) {
    m_temperament = temperament;
    m_nRoot = std::clamp(root, 0, 11);
    BuildNoteTable();
}

void CDoreme::SetTranspose(int semitones) {
    m_nTranspose = std::clamp(semitones, -kMaxTranspose, kMaxTranspose);
}

double CDoreme::RowFrequency(int n) const {
    const double a4 = FreqA4();
    if (m_temperament.IsEqual()) {
        return a4 * std::pow(2.0, (n - kNoteA4) / 12.0);
    }
    return a4 * std::pow(2.0, m_temperament.RowCents(n, m_nRoot) / 1200.0);
}

void CDoreme::BuildNoteTable() {
    // Readers of the other path see rows of either table during the switch, which is as good
    // as a row of either being old.
    if (!m_temperament.IsEqual()) {
        m_bEqual.store(false, std::memory_order_release);
    }
    for (int n = 0; n < kNoteCount; ++n) {
        m_table.SetFrequency(n, RowFrequency(n));
    }
    m_bEqual.store(m_temperament.IsEqual(), std::memory_order_release);
}

std::string CDoreme::RootName(int root) {
    return std::string(SharpNames[static_cast<std::size_t>((std::clamp(root, 0, 11) + 3) % 12)]);
}

std::optional<int> CDoreme::RootOfName(std::string_view text) {
    // A pitch class is a note name without its octave: borrow the table's reading of octave 4.
    const auto n = NoteTable::IndexOfName(std::string(text) + "4");
    if (!n || text.empty() || std::isdigit(static_cast<unsigned char>(text.back()))) {
        return std::nullopt;
    }
    return (*n + 9) % 12;
}

int CDoreme::WrittenIndex(int n) const {
    return n - m_nTranspose;
}

namespace {

// Any index, within the table or beyond it, named as the table names its rows.
std::string TwelveToneName(int n, bool dual) {
    const int pitchClass = (n % 12 + 12) % 12;
    const int octave = (n + 9 >= 0 ? n + 9 : n - 2) / 12; // rounded down
    return std::string(dual ? SharpFlatNames[pitchClass] : SharpNames[pitchClass]) +
           std::to_string(octave);
}

} // namespace

std::string CDoreme::NoteName(int n) const {
    if (m_temperament.IsTwelveTone()) {
        return TwelveToneName(WrittenIndex(n), false);
    }
    // Transposed by the whole degrees nearest to the semitones.
    const int size = m_temperament.Size();
    const double degrees = m_nTranspose * size * 100.0 / m_temperament.PeriodCents();
    const int k = n - kNoteA4 - static_cast<int>(std::lround(std::clamp(degrees, -1e4, 1e4)));
    const int period = (k >= 0 ? k : k - size + 1) / size;
    return "[" + m_temperament.DegreeLabel(k - period * size) + "]" + std::to_string(4 + period);
}

std::string CDoreme::NoteDualName(int n) const {
    return m_temperament.IsTwelveTone() ? TwelveToneName(WrittenIndex(n), true) : NoteName(n);
}

std::optional<int> CDoreme::IndexOfWrittenName(std::string_view text) const {
    const auto written = NoteTable::IndexOfName(text);
    if (!written) {
        return std::nullopt;
    }
    const int n = *written + m_nTranspose;
    if (n < kNoteFirst || n > kNoteLast) {
        return std::nullopt;
    }
    return n;
}

std::optional<int> CDoreme::NearestNoteIndex(double f) const {
    const double a4 = FreqA4();
    if (!(f > 0.0) || !std::isfinite(f) || !(a4 > 0.0)) {
        return std::nullopt;
    }
    if (!m_bEqual.load(std::memory_order_acquire)) {
        return NearestRow(f);
    }
    const double cents = std::trunc(1200.0 * std::log2(f / a4));
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

std::optional<int> CDoreme::NearestRow(double f) const {
    // The row nearest in cents. Beyond the first or last row, no further than half the step to
    // its neighbour; a scale's rows need not rise, so that is asked of whichever row is nearest.
    int best = kNoteFirst;
    double bestCents = std::abs(CentsDeviation(f, best));
    for (int n = kNoteFirst + 1; n < kNoteCount; ++n) {
        const double cents = std::abs(CentsDeviation(f, n));
        if (cents < bestCents) {
            best = n;
            bestCents = cents;
        }
    }
    if (best == kNoteFirst || best == kNoteLast) {
        const int neighbour = best == kNoteFirst ? kNoteFirst + 1 : kNoteLast - 1;
        if (bestCents > std::abs(CentsDeviation(m_table.Frequency(neighbour), best)) / 2.0) {
            return std::nullopt;
        }
    }
    return best;
}

double CDoreme::FrequencyBelowTable() const {
    return m_temperament.IsEqual() ? m_table.Frequency(kNoteFirst) / kSemitone
                                   : RowFrequency(kNoteFirst - 1);
}

double CDoreme::FrequencyAboveTable() const {
    return m_temperament.IsEqual() ? m_table.Frequency(kNoteLast) * kSemitone
                                   : RowFrequency(kNoteLast + 1);
}

CDoreme& TheDoreme() {
    static CDoreme doreme;
    return doreme;
}
