#include "StrumMeasurement.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>
#include <vector>

namespace {

// A block this much louder than the one before starts a new sound: the history restarts.
constexpr double kAttackRatio = 2.0;
// Quieter blocks (RMS in sample units) never start a sound.
constexpr double kAttackMinRms = 20.0;
// Peaks weaker than the strongest by this many dB, or below this amplitude in sample units, are
// not listed.
constexpr double kRangeDb = 40.0;
constexpr double kMinAmplitude = 3.0;
// A peak within this many resolution bins of one this many times stronger is the stronger
// one's side lobe.
constexpr double kSideLobeBins = 5.0;
constexpr double kSideLobeRatio = 8.0;
// A peak is a line when it stands this many times above the spectrum around it (its median
// within kNoiseHz either side): a pluck's noise, or the room's, makes peaks everywhere that do
// not. Only lines tell that a string sounds.
constexpr double kLineOverNoise = 3.0;
constexpr double kNoiseHz = 25.0;
// An explained peak is a string's own too when it is this many times stronger than the
// lower strings' partials on it would be.
constexpr double kDominance = 1.5;
// The inharmonicity assumed for a string whose partials do not tell.
constexpr double kStiffnessGuess = 1e-4;
// A peak beside a lower string's partial that is weaker than this share of it is its ripple.
constexpr double kRipple = 0.5;
// How far off a measured stiffness may be.
constexpr double kStiffnessError = 3e-5;
// A string is read on its own partials 2..kOwnPartials; their stiffness lies within
// kStiffnessSpread of the guess, never above kMaxStiffness, and each partial must lie within
// kFitBins resolution bins of the stiff string fitted to them.
constexpr int kOwnPartials = 6;
constexpr double kStiffnessSpread = 1.5e-4;
constexpr double kMaxStiffness = 5e-4;
constexpr double kFitBins = 0.25;
// A partial a lower string explains counts too when it is this many times stronger.
constexpr double kOwnDominance = 4.0;
// The strongest of them is at least this share of the peak at the fundamental: partials much
// weaker than that are the lower strings' partials' ripples.
constexpr double kOwnShare = 0.25;
// A string's second partial is looked for within this many cents of twice its fundamental (or
// the resolution, when that is coarser).
constexpr double kSecondCents = 20.0;
// How near a lower string's partial, placed by its neighbouring partials, a peak is explained
// by it, in cents (or a resolution bin and a half, when that is wider).
constexpr double kObservedCents = 8.0;
// A string starts to be shown when two blocks in a row read it within this many cents of each
// other, or within this share of the earlier block's resolution bin when that is coarser.
constexpr double kSteadyCents = 3.0;
constexpr double kSteadyBins = 1.0;
// A string shown goes on being shown while it moves no more than this from block to block.
constexpr double kFollowCents = 20.0;
constexpr double kFollowBins = 1.0;
// A string read on its own partials fitted as a stiff string is shown in its first sounding
// block once the history holds this many blocks.
constexpr int kFittedBlocks = 2;
// Partials searched for above the fundamental.
constexpr double kLowestHz = 25.0;
constexpr double kHighestHz = 8000.0;

// The fit beside a lower string's partial: the spectrum is looked at every kLook lattice steps
// over +-kLooks points around the peak, and a sinusoid is searched over +-kReach steps; the
// lattice step is a fortieth of a resolution bin.
constexpr int kStepsPerBin = 40;
constexpr int kLook = 10;
constexpr int kLooks = 12;
constexpr int kReach = 140;
constexpr int kLineSpan = kLook * kLooks + kReach;
// Two sinusoids closer than this many steps are one.
constexpr int kApart = 8;
constexpr int kPressed = 12;
// A single block resolves too coarsely for the fit: it waits for this many.
constexpr int kFitBlocks = 1;
// A fitted fundamental counts when its second partial agrees within this many cents.
constexpr double kAgreeCents = 4.0;
// The fit may find a string that was not sounding only this many blocks after the attack.
// Later, a line beside a lower partial is far more often that string's own: a recorded
// string's partials drift or split, at every partial alike.
constexpr int kFitStartBlocks = 4;
// The extra sinusoid counts when it leaves at most this share of the residual the lower
// partials leave alone, and is at least this share as strong as the strongest of them.
constexpr double kFitGain = 0.25;
constexpr double kFitShare = 0.2;
// Lower partials fitted weaker than this share of what their neighbours say have vanished.
constexpr double kVanished = 0.05;
// The loudness envelope is smoothed over this many chunks.
constexpr int kSmoothChunks = 16;

using Complex = std::complex<double>;

// Least squares: the amplitudes c of the columns that best make data; returns the residual
// energy, or infinity when the columns are not independent.
double SolveLeastSquares(const std::vector<std::vector<Complex>>& columns,
                         const std::vector<Complex>& data, std::vector<Complex>& c) {
    const std::size_t n = columns.size();
    std::vector<std::vector<Complex>> g(n, std::vector<Complex>(n + 1));
    for (std::size_t a = 0; a < n; ++a) {
        for (std::size_t b = 0; b < n; ++b) {
            for (std::size_t j = 0; j < data.size(); ++j) {
                g[a][b] += std::conj(columns[a][j]) * columns[b][j];
            }
        }
        for (std::size_t j = 0; j < data.size(); ++j) {
            g[a][n] += std::conj(columns[a][j]) * data[j];
        }
    }
    const std::vector<std::vector<Complex>> normal = g;
    for (std::size_t a = 0; a < n; ++a) {
        std::size_t pivot = a;
        for (std::size_t r = a + 1; r < n; ++r) {
            if (std::abs(g[r][a]) > std::abs(g[pivot][a])) {
                pivot = r;
            }
        }
        std::swap(g[a], g[pivot]);
        if (std::abs(g[a][a]) <= 1e-9 * std::abs(normal[a][a])) {
            return INFINITY;
        }
        for (std::size_t r = 0; r < n; ++r) {
            if (r != a) {
                const Complex factor = g[r][a] / g[a][a];
                for (std::size_t k = a; k <= n; ++k) {
                    g[r][k] -= factor * g[a][k];
                }
            }
        }
    }
    c.resize(n);
    double energy = 0.0;
    for (const Complex& x : data) {
        energy += std::norm(x);
    }
    for (std::size_t a = 0; a < n; ++a) {
        c[a] = g[a][n] / g[a][a];
        energy -= std::real(std::conj(normal[a][n]) * c[a]);
    }
    return std::max(0.0, energy);
}

double Cents(double a, double b) {
    return 1200.0 * std::log2(a / b);
}

double CentsFactor(double cents) {
    return std::exp2(cents / 1200.0);
}

// How far a stiff string's partial k lies above k times its fundamental, for a stiffness b:
// its partial k is at k f sqrt((1 + b k^2) / (1 + b)).
double Stretch(int k, double b) {
    return std::sqrt((1.0 + b * k * k) / (1.0 + b));
}

} // namespace

StrumMeasurement::StrumMeasurement(std::vector<double> stringHz)
    : m_ring(static_cast<std::size_t>(kHistory), 0), m_spectrum(kFftSize / 2 + 1) {
    const double pi = std::acos(-1.0);
    for (int b = 0; b < kMaxBlocks; ++b) {
        const int n = (b + 1) * kBlockSamples;
        auto& w = m_windows[b];
        w.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            w[i] = 0.5 - 0.5 * std::cos(2.0 * pi * (i + 0.5) / n);
        }
        m_windowSums[b] = std::accumulate(w.begin(), w.end(), 0.0);
    }
    SetStrings(std::move(stringHz));
}

void StrumMeasurement::SetStrings(std::vector<double> stringHz) {
    m_strings = std::move(stringHz);
    m_order.resize(m_strings.size());
    std::iota(m_order.begin(), m_order.end(), std::size_t{0});
    std::stable_sort(m_order.begin(), m_order.end(),
                     [&](std::size_t a, std::size_t b) { return m_strings[a] < m_strings[b]; });
    m_readings.assign(m_strings.size(), std::nullopt);
    m_heard.assign(m_strings.size(), std::nullopt);
}

void StrumMeasurement::Clear() {
    std::fill(m_ring.begin(), m_ring.end(), 0);
    m_nBlocks = 0;
    m_nSinceAttack = 0;
    m_dLastRms = 0.0;
    m_readings.assign(m_strings.size(), std::nullopt);
    m_heard.assign(m_strings.size(), std::nullopt);
}

const std::vector<std::optional<double>>&
StrumMeasurement::AppendBlock(std::span<const std::int16_t> block) {
    const std::size_t n = std::min(block.size(), static_cast<std::size_t>(kBlockSamples));
    std::copy(m_ring.begin() + kBlockSamples, m_ring.end(), m_ring.begin());
    const auto newest = m_ring.end() - kBlockSamples;
    std::copy_n(block.begin(), n, newest);
    std::fill(newest + static_cast<std::ptrdiff_t>(n), m_ring.end(), 0);

    double sum = 0.0;
    for (auto it = newest; it != m_ring.end(); ++it) {
        sum += static_cast<double>(*it) * *it;
    }
    const double rms = std::sqrt(sum / kBlockSamples);
    if (rms > kAttackMinRms && rms > kAttackRatio * m_dLastRms) {
        m_nBlocks = 1; // an attack: what came before belongs to another sound
        m_nSinceAttack = 1;
    } else {
        m_nBlocks = std::min(kMaxBlocks, m_nBlocks + 1);
        m_nSinceAttack = std::min(kFitStartBlocks + 1, m_nSinceAttack + 1);
    }
    m_dLastRms = rms;

    Transform();
    ListPeaks();
    MeasureStrings();
    return m_readings;
}

void StrumMeasurement::Transform() {
    const int length = m_nBlocks * kBlockSamples;
    const auto& window = m_windows[m_nBlocks - 1];
    const auto input = m_fft.Input();
    const std::size_t start = m_ring.size() - static_cast<std::size_t>(length);
    for (int i = 0; i < length; ++i) {
        input[i] = m_ring[start + i] * window[i];
    }
    std::fill(input.begin() + length, input.end(), 0.0);
    m_fft.Transform();
    m_fft.Magnitudes(m_spectrum, 2.0 / m_windowSums[m_nBlocks - 1]);
    m_envelope.clear();
    m_lines.clear();
}

void StrumMeasurement::MakeLines() {
    const int length = m_nBlocks * kBlockSamples;
    const int chunks = length / kChunk;
    const std::size_t start = m_ring.size() - static_cast<std::size_t>(length);
    const auto& window = m_windows[m_nBlocks - 1];
    std::vector<double> energy(static_cast<std::size_t>(chunks), 0.0);
    for (int i = 0; i < length; ++i) {
        const double x = m_ring[start + i];
        energy[i / kChunk] += x * x;
    }
    m_envelope.assign(static_cast<std::size_t>(chunks), 0.0);
    for (int m = 0; m < chunks; ++m) {
        const int lo = std::max(0, m - kSmoothChunks / 2);
        const int hi = std::min(chunks, m + kSmoothChunks / 2);
        const double mean =
            std::accumulate(energy.begin() + lo, energy.begin() + hi, 0.0) / (hi - lo);
        double weight = 0.0;
        for (int j = 0; j < kChunk; ++j) {
            weight += window[m * kChunk + j];
        }
        m_envelope[m] = std::sqrt(mean) * weight;
    }
    // Line(q) = sum over chunks of envelope * e^(-i 2 pi q step t), t the chunk's middle.
    const double pi = std::acos(-1.0);
    m_lines.assign(2 * kLineSpan + 1, Complex{});
    for (int q = -kLineSpan; q <= kLineSpan; ++q) {
        const double turn = 2.0 * pi * q / (kStepsPerBin * static_cast<double>(length));
        Complex phasor = std::polar(1.0, -turn * 0.5 * (kChunk - 1));
        const Complex rotate = std::polar(1.0, -turn * kChunk);
        Complex sum{};
        for (int m = 0; m < chunks; ++m) {
            sum += m_envelope[m] * phasor;
            phasor *= rotate;
        }
        m_lines[q + kLineSpan] = sum;
    }
}

Complex StrumMeasurement::Line(int q) {
    return m_lines[std::clamp(q, -kLineSpan, kLineSpan) + kLineSpan];
}

std::optional<double> StrumMeasurement::FitBeside(int p, std::size_t s,
                                                  std::span<const Found> found) {
    const double expected = ExplainedAmplitude(p, s, found);
    if (expected == 0.0 || m_nBlocks < kFitBlocks) {
        return std::nullopt;
    }
    if (m_lines.empty()) {
        MakeLines();
    }
    const int length = m_nBlocks * kBlockSamples;
    const double step = static_cast<double>(kSampleRate) / length / kStepsPerBin;
    const double centre = m_peaks[p].hz;
    const double pi = std::acos(-1.0);

    // The windowed history shifted down by the centre and summed over chunks.
    const auto input = m_fft.Input();
    const int chunks = length / kChunk;
    std::vector<Complex> shifted(static_cast<std::size_t>(chunks));
    const double turn = 2.0 * pi * centre / kSampleRate;
    for (int m = 0; m < chunks; ++m) {
        Complex phasor = std::polar(1.0, -turn * m * kChunk);
        const Complex rotate = std::polar(1.0, -turn);
        Complex sum{};
        for (int j = 0; j < kChunk; ++j) {
            sum += input[m * kChunk + j] * phasor;
            phasor *= rotate;
        }
        shifted[m] = sum;
    }
    std::vector<Complex> data;
    for (int j = -kLooks; j <= kLooks; ++j) {
        const double t = 2.0 * pi * j * kLook * step / kSampleRate;
        Complex phasor = std::polar(1.0, -t * 0.5 * (kChunk - 1));
        const Complex rotate = std::polar(1.0, -t * kChunk);
        Complex sum{};
        for (int m = 0; m < chunks; ++m) {
            sum += shifted[m] * phasor;
            phasor *= rotate;
        }
        data.push_back(sum);
    }

    auto column = [&](int q) {
        std::vector<Complex> c;
        for (int j = -kLooks; j <= kLooks; ++j) {
            c.push_back(Line(j * kLook - q));
        }
        return c;
    };
    // Every lower string's partial within the span looked at is part of the fit.
    std::vector<std::vector<Complex>> columns;
    std::vector<int> known;
    for (std::size_t l = 0; l < found.size(); ++l) {
        if (l == s || !found[l].sounding || m_strings[l] >= m_strings[s]) {
            continue;
        }
        const double f = found[l].hz;
        const double b = found[l].stiffness;
        const int m = static_cast<int>(std::lround(centre / f));
        for (const int n : {m - 1, m, m + 1}) {
            const double partial = n * f * Stretch(n, b);
            const int q = static_cast<int>(std::lround((partial - centre) / step));
            if (n >= 2 && std::abs(q) <= kLooks * kLook &&
                std::none_of(known.begin(), known.end(),
                             [&](int k) { return std::abs(k - q) < kApart; })) {
                known.push_back(q);
                columns.push_back(column(q));
            }
        }
    }
    if (known.empty()) {
        return std::nullopt;
    }
    std::vector<Complex> amplitudes;
    const double alone = SolveLeastSquares(columns, data, amplitudes);
    double best = INFINITY;
    int bestQ = 0;
    std::vector<Complex> bestAmplitudes;
    columns.emplace_back();
    for (int q = -kReach; q <= kReach; ++q) {
        if (std::any_of(known.begin(), known.end(),
                        [&](int k) { return std::abs(k - q) < kApart; })) {
            continue;
        }
        columns.back() = column(q);
        const double residual = SolveLeastSquares(columns, data, amplitudes);
        if (residual < best) {
            best = residual;
            bestQ = q;
            bestAmplitudes = amplitudes;
        }
    }
    double strongest = 0.0;
    for (std::size_t k = 0; k + 1 < bestAmplitudes.size(); ++k) {
        strongest = std::max(strongest, std::abs(bestAmplitudes[k]));
    }
    // A sinusoid pressed against a lower partial only mends the shape of that partial's line.
    const bool pressed = std::any_of(
        known.begin(), known.end(), [&](int k) { return std::abs(k - bestQ) < kApart + kPressed; });
    if (pressed || std::abs(bestQ) == kReach || !(best <= kFitGain * alone)) {
        return std::nullopt;
    }
    // When the lower partials all but vanish from the fit and the extra sinusoid is no stronger
    // than their neighbours say they should be, it is one of them, placed wrongly by a
    // misjudged stiffness.
    const double share = std::abs(bestAmplitudes.back());
    const double toPeak = std::abs(Line(0)) * 2.0 / m_windowSums[m_nBlocks - 1];
    const bool misplaced =
        strongest * toPeak < kVanished * expected && share * toPeak < kDominance * expected;
    if (share < kFitShare * strongest || misplaced) {
        return std::nullopt;
    }
    return centre + bestQ * step;
}

void StrumMeasurement::ListPeaks() {
    m_peaks.clear();
    const double binHz = static_cast<double>(kSampleRate) / kFftSize;
    const int first = std::max(1, static_cast<int>(kLowestHz / binHz));
    const int last = std::min(kFftSize / 2 - 1, static_cast<int>(kHighestHz / binHz));
    const double loudest = *std::max_element(m_spectrum.begin() + first, m_spectrum.begin() + last);
    m_dFloor = std::max(kMinAmplitude, loudest * std::pow(10.0, -kRangeDb / 20.0));
    for (int k = first; k < last; ++k) {
        const double b = m_spectrum[k];
        if (b <= m_dFloor || b <= m_spectrum[k - 1] || b < m_spectrum[k + 1]) {
            continue;
        }
        // A parabola through the logarithms of the three bins: the Hann window's main lobe is
        // close to a Gaussian, whose logarithm a parabola fits.
        const double la = std::log(std::max(m_spectrum[k - 1], 1e-12));
        const double lb = std::log(b);
        const double lc = std::log(std::max(m_spectrum[k + 1], 1e-12));
        const double denominator = la - 2.0 * lb + lc;
        const double p = denominator < 0.0 ? 0.5 * (la - lc) / denominator : 0.0;
        m_peaks.push_back({(k + p) * binHz, std::exp(lb - 0.25 * (la - lc) * p),
                           m_nBlocks == 1 || b >= kLineOverNoise * NoiseAround(k)});
    }

    // Drop the side lobes of strong peaks.
    const double reach = kSideLobeBins * kSampleRate / (m_nBlocks * kBlockSamples);
    std::vector<Peak> kept;
    kept.reserve(m_peaks.size());
    for (const Peak& peak : m_peaks) {
        const bool lobe = std::any_of(m_peaks.begin(), m_peaks.end(), [&](const Peak& other) {
            return std::abs(other.hz - peak.hz) < reach && other.amp > kSideLobeRatio * peak.amp;
        });
        if (!lobe) {
            kept.push_back(peak);
        }
    }
    m_peaks.swap(kept);
}

double StrumMeasurement::NoiseAround(int k) {
    // The median of the spectrum, one value a resolution bin, within kNoiseHz of bin k.
    const double binHz = static_cast<double>(kSampleRate) / kFftSize;
    const int reach = static_cast<int>(kNoiseHz / binHz);
    const int step = kFftSize / (m_nBlocks * kBlockSamples);
    const int last = static_cast<int>(m_spectrum.size()) - 1;
    m_around.clear();
    for (int i = std::max(0, k - reach); i <= std::min(last, k + reach); i += step) {
        m_around.push_back(m_spectrum[static_cast<std::size_t>(i)]);
    }
    const auto middle = m_around.begin() + static_cast<std::ptrdiff_t>(m_around.size() / 2);
    std::nth_element(m_around.begin(), middle, m_around.end());
    return *middle;
}

double StrumMeasurement::BinHz() const {
    return static_cast<double>(kSampleRate) / (m_nBlocks * kBlockSamples);
}

double StrumMeasurement::Tolerance(double hz) const {
    // A resolution bin and a half, and never less than 12 cents for the stiffness of strings.
    return std::max(12.0, Cents(hz + 1.5 * BinHz(), hz));
}

double StrumMeasurement::Sharpness(double partial, int m, const Found& string) const {
    if (!string.stiffnessMeasured) {
        return INFINITY;
    }
    const double binHz = BinHz();
    // A stiffness misjudged by db moves partial m by about (m^2 - 1) / 2 db, in cents times
    // 1200 / ln 2.
    return Cents(partial + binHz, partial) + 0.5 * (m * m - 1) * kStiffnessError * 1731.2;
}

template <typename Better, typename Eligible>
int StrumMeasurement::BestPeakWithin(double hz, double cents, Better better,
                                     Eligible eligible) const {
    const double lo = hz * CentsFactor(-cents);
    const double hi = hz * CentsFactor(cents);
    auto it = std::lower_bound(m_peaks.begin(), m_peaks.end(), lo,
                               [](const Peak& p, double f) { return p.hz < f; });
    int best = -1;
    for (; it != m_peaks.end() && it->hz <= hi; ++it) {
        const int i = static_cast<int>(it - m_peaks.begin());
        if ((best < 0 || better(*it, m_peaks[static_cast<std::size_t>(best)])) && eligible(i)) {
            best = i;
        }
    }
    return best;
}

int StrumMeasurement::NearestPeak(double hz, double cents) const {
    return BestPeakWithin(hz, cents, [hz](const Peak& p, const Peak& best) {
        return std::abs(p.hz - hz) < std::abs(best.hz - hz);
    });
}

template <typename Eligible>
int StrumMeasurement::PeakNear(double hz, double cents, Eligible eligible) const {
    return BestPeakWithin(
        hz, cents, [](const Peak& p, const Peak& best) { return p.amp > best.amp; }, eligible);
}

int StrumMeasurement::LineNear(double hz, double cents) const {
    return PeakNear(hz, cents, [this](int i) { return m_peaks[static_cast<std::size_t>(i)].line; });
}

bool StrumMeasurement::NearOtherNote(double hz, std::size_t l) const {
    for (std::size_t o = 0; o < m_strings.size(); ++o) {
        if (o == l || m_strings[o] == m_strings[l]) {
            continue;
        }
        for (int k = 1; k <= 4; ++k) {
            if (std::abs(Cents(hz, k * m_strings[o])) < kBandCents) {
                return true;
            }
        }
    }
    return false;
}

double StrumMeasurement::PartialEnvelope(std::size_t l, double f, int m, Envelope how) const {
    // A plucked string's second partial is often by far its strongest (the body radiates a low
    // fundamental poorly): its neighbours tell nothing of its strength.
    if (how == Envelope::Falloff && m == 2) {
        return INFINITY;
    }
    // The strongest of the two partials on either side that no other string's note could
    // share.
    auto scaled = [&](double amp, int j) { return how == Envelope::Falloff ? amp * j / m : amp; };
    double envelope = 0.0;
    for (const int j : {m - 2, m - 1, m + 1, m + 2}) {
        if (j < 1) {
            continue;
        }
        const int q = PeakNear(j * f, Tolerance(j * f));
        if (q >= 0 && !NearOtherNote(m_peaks[q].hz, l)) {
            envelope = std::max(envelope, scaled(m_peaks[q].amp, j));
        }
    }
    if (envelope > 0.0) {
        return envelope;
    }
    const int fundamental = PeakNear(f, Tolerance(f));
    return fundamental >= 0 ? scaled(m_peaks[fundamental].amp, 1) : m_dFloor;
}

double StrumMeasurement::ExplainedAmplitude(int p, std::size_t s, std::span<const Found> found,
                                            bool apart, Envelope envelope) const {
    double explained = 0.0;
    const double hz = m_peaks[p].hz;
    for (std::size_t l = 0; l < found.size(); ++l) {
        if (l == s || !found[l].sounding || m_strings[l] >= m_strings[s]) {
            continue;
        }
        const double f = found[l].hz;
        const int m = static_cast<int>(std::lround(hz / f));
        if (m < 2) {
            continue;
        }
        // The partial stretched by the string's stiffness, give or take the resolution. Of two
        // peaks that are both that close, the one nearer the prediction is the partial; the
        // other is explained only when the stiffness is known well enough to tell no better.
        const double b = found[l].stiffness;
        double partial = m * f * Stretch(m, b);
        double tolerance = Tolerance(partial);
        // Where the string's neighbouring partials are found, this one lies as far off the
        // model as they do, known to within a few cents.
        double shift = 0.0;
        int seen = 0;
        for (const int j : {m - 1, m + 1}) {
            const double model = j * f * Stretch(j, b);
            const int q = j >= 2 ? NearestPeak(model, Tolerance(model)) : -1;
            if (q >= 0 && !NearOtherNote(m_peaks[q].hz, l)) {
                shift += Cents(m_peaks[q].hz, model);
                ++seen;
            }
        }
        if (seen > 0) {
            partial *= CentsFactor(shift / seen);
            tolerance = std::max(kObservedCents, Cents(partial + 1.5 * BinHz(), partial));
        }
        const double off = std::abs(Cents(hz, partial));
        if (off >= tolerance) {
            continue;
        }
        const int nearest = NearestPeak(partial, tolerance);
        if (!apart || off < Sharpness(partial, m, found[l]) || nearest == p ||
            m_peaks[p].amp < kRipple * m_peaks[nearest].amp) {
            explained += PartialEnvelope(l, f, m, envelope);
        }
    }
    return explained;
}

bool StrumMeasurement::NearOtherPartial(double hz, std::size_t l,
                                        std::span<const Found> found) const {
    for (std::size_t o = 0; o < found.size(); ++o) {
        if (o == l || !found[o].sounding) {
            continue;
        }
        const int j = std::max(1, static_cast<int>(std::lround(hz / found[o].hz)));
        const double b = found[o].stiffness;
        const double partial = j * found[o].hz * Stretch(j, b);
        if (std::abs(Cents(hz, partial)) < Tolerance(partial)) {
            return true;
        }
    }
    return false;
}

void StrumMeasurement::MeasureStiffness(std::size_t s, Found& found,
                                        std::span<const Found> others) const {
    std::vector<double> estimates;
    const double f = found.hz;
    for (int k = 3; k <= 12; ++k) {
        const double guess = k * f * Stretch(k, kStiffnessGuess);
        const int q = PeakNear(guess, 3.0 + 0.3 * (k * k - 1));
        if (q < 0 || (others.empty() ? NearOtherNote(m_peaks[q].hz, s)
                                     : NearOtherPartial(m_peaks[q].hz, s, others))) {
            continue;
        }
        // A stiff string's partial k lies at k f sqrt((1 + B k^2) / (1 + B)).
        const double r = m_peaks[q].hz / (k * f);
        estimates.push_back((r * r - 1.0) / (k * k - r * r));
    }
    found.stiffness = kStiffnessGuess;
    found.stiffnessMeasured = false;
    if (estimates.size() >= 3) {
        std::nth_element(estimates.begin(), estimates.begin() + estimates.size() / 2,
                         estimates.end());
        const double median = estimates[estimates.size() / 2];
        found.stiffness = std::clamp(median, 0.0, 1e-3);
        // A string is never stiffer than that, nor less stiff than none: partials that say so
        // are not all its own.
        found.stiffnessMeasured = median > 0.0 && median <= 1e-3;
    }
    Unstretch(found); // a reading on a higher partial, with the stiffness now known
}

StrumMeasurement::Found StrumMeasurement::MeasureString(std::size_t s,
                                                        std::span<const Found> found) {
    const double note = m_strings[s];
    // The peaks in a band around partial k: the strongest unexplained one, and the strongest
    // that is stronger than the lower strings explain.
    struct Choice {
        int clean = -1;
        int dominant = -1;
        int shared = -1; // the strongest explained one
    };
    // How strong the lower strings' partials on peak p would be, judged as a string's partials
    // fall off: a string of its own on a lower string's partial is most often much stronger.
    auto explainedAt = [&](int p) {
        return ExplainedAmplitude(p, s, found, false, Envelope::Falloff);
    };
    auto standsOut = [&](int p, double explained) {
        return explained == 0.0 || m_peaks[p].amp > kDominance * explained;
    };
    auto choose = [&](int k) {
        Choice c;
        const double lo = k * note * CentsFactor(-kBandCents);
        const double hi = k * note * CentsFactor(kBandCents);
        for (int p = 0; p < static_cast<int>(m_peaks.size()); ++p) {
            if (m_peaks[p].hz < lo || m_peaks[p].hz > hi) {
                continue;
            }
            const double explained = explainedAt(p);
            if (explained > 0.0 && (c.shared < 0 || m_peaks[p].amp > m_peaks[c.shared].amp)) {
                c.shared = p;
            }
            int& slot = explained == 0.0 ? c.clean : c.dominant;
            if (m_peaks[p].line && standsOut(p, explained)) {
                if (slot < 0 || m_peaks[p].amp > m_peaks[slot].amp) {
                    slot = p;
                }
            }
        }
        return c;
    };
    auto supported = [&](double f) {
        // A peak at the second or third partial, where that is clear of the other strings'
        // notes: there another string's peak cannot stand in for it (nor the body's resonance
        // for a low string's fundamental). Any peak there when neither is clear.
        bool anyClear = false;
        for (const int k : {2, 3}) {
            if (!NearOtherNote(k * f, s)) {
                anyClear = true;
                if (LineNear(k * f, Tolerance(k * f)) >= 0) {
                    return true;
                }
            }
        }
        return !anyClear && (LineNear(2.0 * f, Tolerance(2.0 * f)) >= 0 ||
                             LineNear(3.0 * f, Tolerance(3.0 * f)) >= 0);
    };

    const Choice first = choose(1);
    // A free peak much weaker than a shared one beside it is read only when the string's own
    // higher partials do not tell where it is.
    auto faintIn = [&](const Choice& c) {
        return c.clean >= 0 && c.shared >= 0 &&
               m_peaks[c.clean].amp < kRipple * m_peaks[c.shared].amp;
    };
    const bool faint = faintIn(first);
    if (first.clean >= 0 && !faint && supported(m_peaks[first.clean].hz)) {
        return ReadFundamental(first.clean, s, found);
    }
    // The fundamental shares its peak with a lower string's partial, or is weak: the second
    // partial, when it is free, says where the string is. A recorded string's partial is often
    // split into lines a few cents apart, so a free peak there much weaker than a shared one
    // beside it waits as a faint fundamental does.
    const Choice second = choose(2);
    const bool faintSecond = faintIn(second);
    auto readSecond = [&]() -> std::optional<Found> {
        const double f = m_peaks[second.clean].hz / 2.0;
        if (PeakNear(f, Tolerance(f)) < 0) {
            return std::nullopt;
        }
        return Found{second.clean, f, true, 0.0, false, 2, m_peaks[second.clean].hz};
    };
    if (second.clean >= 0 && !faintSecond) {
        if (const auto r = readSecond()) {
            return *r;
        }
    }
    // The fundamental shares its peak with a lower string's partial: its own partials above,
    // where they are free, placed by the string's stiffness.
    if (const auto f = ReadOwnPartials(s, found)) {
        const int p = PeakNear(f->hz, Tolerance(f->hz));
        if (p >= 0 && f->strongest >= kOwnShare * m_peaks[p].amp &&
            ExplainedAmplitude(p, s, found) > 0.0) {
            Found own{p, f->hz, true};
            own.fitted = true;
            return own;
        }
    }
    // A faint peak only carries on a string that sounded in the block before: beside a lower
    // string's partial it is far more often that partial's ripple than a string starting.
    const bool sounded = m_heard[s].has_value();
    if (sounded && faint && supported(m_peaks[first.clean].hz)) {
        return {first.clean, m_peaks[first.clean].hz, true};
    }
    if (sounded && faintSecond) {
        if (const auto r = readSecond()) {
            return *r;
        }
    }
    // A shared peak: the string's own partial fitted beside the lower strings', when its
    // second partial, free or fitted beside theirs too, agrees.
    const bool mayStart = m_nSinceAttack <= kFitStartBlocks || sounded;
    if (first.shared >= 0 && mayStart) {
        if (const auto f = FitBeside(first.shared, s, found)) {
            auto agrees = [&](double f2) { return std::abs(Cents(f2 / 2.0, *f)) < kAgreeCents; };
            bool agreed = second.clean >= 0 && agrees(m_peaks[second.clean].hz);
            if (!agreed && second.shared >= 0) {
                const auto f2 = FitBeside(second.shared, s, found);
                agreed = f2 && agrees(*f2);
            }
            if (agreed) {
                return {first.shared, *f, true};
            }
        }
    }
    // A fundamental told by its strength on a lower string's partial: its second partial, on
    // a lower partial as well more often than not, stands out the same way.
    auto secondStandsOut = [&](double f) {
        const int q = PeakNear(2.0 * f, Tolerance(2.0 * f));
        return q >= 0 && standsOut(q, explainedAt(q));
    };
    if (first.dominant >= 0 && supported(m_peaks[first.dominant].hz) &&
        secondStandsOut(m_peaks[first.dominant].hz)) {
        return {first.dominant, m_peaks[first.dominant].hz, true};
    }
    return {};
}

StrumMeasurement::Found StrumMeasurement::ReadFundamental(int p, std::size_t s,
                                                          std::span<const Found> found) const {
    // When the string's second partial has a peak that no lower string's partial explains (a
    // lower partial beside it with a peak of its own does not), and no string an octave up
    // could stand there, the reading weighs the two partials by their precision: a
    // peak's frequency is as good as its amplitude, and the second partial's cents count double.
    // A short history resolves the fundamental coarsely, and a weak fundamental is pulled by
    // whatever rings beside it.
    const double f = m_peaks[p].hz;
    const double near = std::max(Tolerance(2.0 * f), kSecondCents);
    const int q = PeakNear(2.0 * f, near,
                           [&](int i) { return ExplainedAmplitude(i, s, found, true) == 0.0; });
    const bool octaveString = std::any_of(m_strings.begin(), m_strings.end(), [&](double note) {
        return std::abs(Cents(2.0 * f, note)) < kBandCents;
    });
    if (q >= 0 && !octaveString) {
        Found r{p, f, true, kStiffnessGuess, false, 2, m_peaks[q].hz};
        const double a1 = m_peaks[p].amp, a2 = m_peaks[q].amp;
        r.fundamentalHz = f;
        r.fundamentalShare = a1 * a1 / (a1 * a1 + 4.0 * a2 * a2);
        Unstretch(r);
        return r;
    }
    return {p, f, true};
}

std::optional<StrumMeasurement::OwnReading>
StrumMeasurement::ReadOwnPartials(std::size_t s, std::span<const Found> found) const {
    struct Partial {
        int k;
        double hz;
        double amp;
    };
    const double note = m_strings[s];
    const double binHz = BinHz();
    std::vector<Partial> free;
    for (int k = 2; k <= kOwnPartials; ++k) {
        const double centre = k * note * Stretch(k, kStiffnessGuess);
        for (int p = 0; p < static_cast<int>(m_peaks.size()); ++p) {
            if (std::abs(Cents(m_peaks[p].hz, centre)) < kBandCents &&
                m_peaks[p].amp >= kOwnDominance * ExplainedAmplitude(p, s, found, true)) {
                free.push_back({k, m_peaks[p].hz, m_peaks[p].amp});
            }
        }
    }
    // The fundamental each free partial says, and those of the other partials that agree with
    // it, given the range of stiffness strings have.
    auto fundamental = [&](const Partial& p) {
        return p.hz / (p.k * Stretch(p.k, kStiffnessGuess));
    };
    std::vector<Partial> best;
    double bestAmp = 0.0;
    for (const Partial& anchor : free) {
        const double f = fundamental(anchor);
        std::vector<Partial> agreeing;
        double amp = 0.0;
        for (int k = 2; k <= kOwnPartials; ++k) {
            const double spread =
                Cents(k * f + binHz, k * f) +
                0.5 * std::abs(k * k - anchor.k * anchor.k) * kStiffnessSpread * 1731.2;
            const Partial* nearest = nullptr;
            for (const Partial& p : free) {
                const double off = std::abs(Cents(fundamental(p), f));
                if (p.k == k && off < spread &&
                    (!nearest || off < std::abs(Cents(fundamental(*nearest), f)))) {
                    nearest = &p;
                }
            }
            if (nearest) {
                agreeing.push_back(*nearest);
                amp += nearest->amp;
            }
        }
        if (agreeing.size() > best.size() || (agreeing.size() == best.size() && amp > bestAmp)) {
            best = agreeing;
            bestAmp = amp;
        }
    }
    if (best.size() < 2) {
        return std::nullopt;
    }
    // (partial / k)^2 = F (1 + B k^2): a line in k^2, F the squared unstretched fundamental.
    double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
    for (const Partial& p : best) {
        const double x = p.k * p.k;
        const double y = (p.hz / p.k) * (p.hz / p.k);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double n = static_cast<double>(best.size());
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    double F = (sy - slope * sx) / n;
    double b = slope / F;
    if (!(b >= 0.0 && b <= kMaxStiffness)) {
        b = std::clamp(b, 0.0, kMaxStiffness);
        F = 0.0;
        for (const Partial& p : best) {
            F += (p.hz / p.k) * (p.hz / p.k) / (1.0 + b * p.k * p.k);
        }
        F /= n;
    }
    double strongest = 0.0;
    for (const Partial& p : best) {
        const double model = p.k * std::sqrt(F * (1.0 + b * p.k * p.k));
        if (std::abs(p.hz - model) > kFitBins * binHz) {
            return std::nullopt;
        }
        strongest = std::max(strongest, p.amp);
    }
    return OwnReading{std::sqrt(F * (1.0 + b)), strongest};
}

void StrumMeasurement::Unstretch(Found& found) {
    if (found.partial > 1) {
        const int k = found.partial;
        const double b = found.stiffness;
        found.hz = found.partialHz / (k * Stretch(k, b));
        const double w = found.fundamentalShare;
        if (w > 0.0) {
            found.hz =
                std::exp2(w * std::log2(found.fundamentalHz) + (1.0 - w) * std::log2(found.hz));
        }
    }
}

void StrumMeasurement::MeasureStrings() {
    std::vector<Found> found(m_strings.size());
    for (const std::size_t s : m_order) {
        found[s] = MeasureString(s, found);
        if (found[s].sounding) {
            MeasureStiffness(s, found[s], {});
        }
    }
    // A string with too few partials clear of the other strings' notes: now that it is known
    // which strings sound and where, the partials clear of theirs may tell its stiffness, and
    // the strings above it are measured again with it.
    bool better = false;
    for (std::size_t s = 0; s < found.size(); ++s) {
        if (found[s].sounding && !found[s].stiffnessMeasured) {
            MeasureStiffness(s, found[s], found);
            better = better || found[s].stiffnessMeasured;
        }
    }
    if (better) {
        std::vector<Found> again(m_strings.size());
        for (const std::size_t s : m_order) {
            again[s] = MeasureString(s, again);
            if (again[s].sounding) {
                MeasureStiffness(s, again[s], found);
            }
        }
        found.swap(again);
    }
    // A string is shown once it has sounded in two blocks in a row at one pitch: a single
    // block's peak may be the attack's splash, and a lower string's partial that passes for a
    // silent string's, among the partials of strings still ringing, wanders from block to block
    // where a string's own pitch holds. A string read on two or more of its own partials that
    // fit a stiff string is no splash: it is shown at once, unless the history is the attack's
    // block alone. Once shown, it follows its readings as far as a peg turns in a block.
    for (std::size_t s = 0; s < m_strings.size(); ++s) {
        const std::optional<double>& before = m_heard[s];
        auto near = [&](double cents, double bins) {
            return before && std::abs(Cents(found[s].hz, *before)) <
                                 std::max(cents, Cents(*before + bins * m_dHeardBinHz, *before));
        };
        const bool shown =
            found[s].sounding && (near(kSteadyCents, kSteadyBins) ||
                                  (m_readings[s] && near(kFollowCents, kFollowBins)) ||
                                  (found[s].fitted && m_nBlocks >= kFittedBlocks));
        m_readings[s] = shown ? std::optional<double>(found[s].hz) : std::nullopt;
        m_heard[s] = found[s].sounding ? std::optional<double>(found[s].hz) : std::nullopt;
    }
    m_dHeardBinHz = BinHz();
}
