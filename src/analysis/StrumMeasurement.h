#pragma once

#include "AudioFormat.h"
#include "RealFft.h"

#include <array>
#include <complex>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Measures every string of an instrument at once, from the same sound: for each string its own
// fundamental, or nothing while that string is not sounding.
//
// The strings' notes are known, so this measures known notes rather than searching for unknown
// ones. Each block, the history since the last attack (one to four blocks) is transformed with
// a Hann window, zero-padded sixteen-fold or more, and its spectral peaks are listed with
// interpolated frequency and amplitude. Then the strings are taken from the lowest up. A peak
// near a string's note is that string's own when no lower sounding string has a partial on
// that peak (the partials placed by that string's stiffness, measured on its free partials,
// and shifted as far as its neighbouring partials are found off that model),
// or when it is clearly stronger than the lower string's neighbouring partials (which tell how
// strong its coinciding partial would be alone; never for its second partial, often by far its
// strongest). A string sounds when it has
// such a peak at its fundamental, or at its second partial with a fundamental beside it; its
// reading is the own partial's frequency divided by its number (as the string's stiffness
// stretches it), the fundamental weighed with a free second partial by their amplitudes.
//
// A string whose fundamental shares its peak with a lower string's partial is read on its own
// partials 2 to 6 where they stand clear of the lower strings' (a string's stiffness stretches
// its partials otherwise than a lower string's, so they part even where the fundamentals do
// not): at least two that agree, with the string's stiffness fitted to them. Such a string is
// shown from its first sounding block on; any other once two blocks in a row read it at one
// pitch. A string shown is followed from block to block as far as a peg turns.
//
// Two strings a few cents apart on the same peak (a B3 on the low E's third partial) cannot be
// told apart by their peaks. There the spectrum around the peak is fitted with the lower
// strings' partials at their predicted frequencies plus one more sinusoid whose frequency is
// searched; the history's own loudness envelope shapes each sinusoid's line. When the extra
// sinusoid takes a clear share of the peak, and the string's second partial (free, or fitted
// the same way) agrees, it is the higher string's partial.
class StrumMeasurement {
public:
    static constexpr int kMaxBlocks = 4;
    static constexpr int kHistory = kMaxBlocks * kBlockSamples;
    static constexpr int kFftSize = 4 * kHistory;
    // How far from its note a string's fundamental is looked for, in cents.
    static constexpr double kBandCents = 60.0;

    // stringHz: the strings' notes in Hz, in any order; the readings come in the same order.
    explicit StrumMeasurement(std::vector<double> stringHz = {});

    StrumMeasurement(const StrumMeasurement&) = delete;
    StrumMeasurement& operator=(const StrumMeasurement&) = delete;

    // New strings (for another instrument or reference pitch); the history stays.
    void SetStrings(std::vector<double> stringHz);
    std::size_t StringCount() const { return m_strings.size(); }

    // Forgets the history.
    void Clear();

    // Appends a block (kBlockSamples samples; shorter ones are completed with silence) and
    // measures the history: one entry per string.
    const std::vector<std::optional<double>>& AppendBlock(std::span<const std::int16_t> block);

    const std::vector<std::optional<double>>& Readings() const { return m_readings; }

private:
    struct Peak {
        double hz;
        double amp;
        // Stands out of the noise around it. In the attack's block alone every peak counts: the
        // pluck's noise still covers the strings there, and nothing is shown on that block.
        bool line = true;
    };
    struct Found {
        int peak = -1;   // index into m_peaks, or -1
        double hz = 0.0; // the reading
        bool sounding = false;
        double stiffness = 0.0; // its inharmonicity, measured on its partials
        bool stiffnessMeasured = false;
        // A reading taken on a higher partial: its number and frequency, and the fundamental's
        // peak with its weight when the two are weighed together.
        int partial = 1;
        double partialHz = 0.0;
        double fundamentalHz = 0.0;
        double fundamentalShare = 0.0;
        bool fitted = false; // read on its own partials, fitted as a stiff string
    };

    void Transform();
    void ListPeaks();
    // The spectrum's level around bin k, where only noise and side lobes are.
    double NoiseAround(int k);
    void MeasureStrings();
    Found MeasureString(std::size_t s, std::span<const Found> lower);
    // The string read at the peak p of its fundamental, and at its second partial when that is
    // its own.
    Found ReadFundamental(int p, std::size_t s, std::span<const Found> lower) const;
    // A reading taken on a higher partial, divided by its number as the string's stiffness
    // stretches it.
    static void Unstretch(Found& found);
    struct AnyPeak {
        bool operator()(int) const { return true; }
    };
    // The strongest listed peak within cents of hz whose index eligible() accepts, or -1.
    template <typename Eligible = AnyPeak>
    int PeakNear(double hz, double cents, Eligible eligible = {}) const;
    // The same among the peaks that are lines.
    int LineNear(double hz, double cents) const;
    // The listed peak nearest hz within cents of it, or -1.
    int NearestPeak(double hz, double cents) const;
    // Of the peaks within cents of hz whose index eligible() accepts, the one that better()
    // prefers to every other, or -1.
    template <typename Better, typename Eligible = AnyPeak>
    int BestPeakWithin(double hz, double cents, Better better, Eligible eligible = {}) const;
    // How near its partial m at partial Hz a peak must be to be the partial itself, in cents,
    // for a string whose stiffness was measured; infinity otherwise.
    double Sharpness(double partial, int m, const Found& string) const;
    // How a lower string's partial is judged from its neighbours: as strong as the strongest
    // of them, which never underrates it, or as a string's partials fall off, partial j's
    // amplitude times j / m (the second partial, often by far the strongest, as strong as any
    // peak on it).
    enum class Envelope { Strongest, Falloff };
    // How strong a peak at index p would be if only lower sounding strings made it; 0 when
    // none of them has a partial on it.
    // With apart, a peak beside a lower string's partial is not explained by it when another peak,
    // nearer where the partial must be, is that partial.
    double ExplainedAmplitude(int p, std::size_t s, std::span<const Found> lower,
                              bool apart = false, Envelope envelope = Envelope::Strongest) const;
    // The amplitude the string's partial m would have alone, judged from its neighbours.
    double PartialEnvelope(std::size_t l, double f, int m, Envelope envelope) const;
    bool NearOtherNote(double hz, std::size_t l) const;
    // Whether hz lies on a partial of another string that sounds.
    bool NearOtherPartial(double hz, std::size_t l, std::span<const Found> found) const;
    // Measures the inharmonicity of string s at fundamental f on its free partials: those
    // clear of the other strings' notes, or of the partials of the others found sounding; a
    // reading taken on a higher partial is then divided as that stiffness stretches it.
    void MeasureStiffness(std::size_t s, Found& found, std::span<const Found> others) const;
    double Tolerance(double hz) const;
    // The history's resolution bin.
    double BinHz() const;
    // The sinusoid beside the lower strings' partials in the peak p, when it takes a clear
    // share of it: its frequency in Hz.
    std::optional<double> FitBeside(int p, std::size_t s, std::span<const Found> lower);
    // The string's fundamental from those of its partials 2 and up that no lower string explains,
    // when at least two of them agree on it; their stiffness is fitted with it.
    struct OwnReading {
        double hz;
        double strongest; // the amplitude of the strongest partial it was read on
    };
    std::optional<OwnReading> ReadOwnPartials(std::size_t s, std::span<const Found> found) const;
    // The line of a sinusoid offset by q lattice steps from where it is looked at.
    std::complex<double> Line(int q);
    void MakeLines();

    std::vector<double> m_strings;
    std::vector<std::size_t> m_order; // string indices from the lowest note up
    std::vector<std::optional<double>> m_readings;
    std::vector<std::optional<double>> m_heard; // the reading, when sounding in the last block
    double m_dHeardBinHz = 0.0;                 // the last block's resolution bin

    std::vector<std::int16_t> m_ring; // the last kMaxBlocks blocks, oldest first
    int m_nBlocks = 0;                // blocks in the ring that belong to the current sound
    int m_nSinceAttack = 0;           // blocks since the current sound's attack
    double m_dLastRms = 0.0;

    std::array<std::vector<double>, kMaxBlocks> m_windows;
    std::array<double, kMaxBlocks> m_windowSums{};
    RealFft m_fft{kFftSize};
    std::vector<double> m_spectrum;
    std::vector<Peak> m_peaks; // by rising frequency
    double m_dFloor = 0.0;
    std::vector<double> m_around; // NoiseAround's samples of the spectrum
    // The windowed history's loudness summed over each stretch of kChunk samples, and the
    // line of a sinusoid with that envelope at every lattice offset, made once a block when
    // first needed.
    static constexpr int kChunk = 64;
    std::vector<double> m_envelope;
    std::vector<std::complex<double>> m_lines;
};
