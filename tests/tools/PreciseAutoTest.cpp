#include "Doreme.h"
#include "OctaveGuard.h"
#include "OfflineAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double Cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

// A tone of the given partials (amplitudes of the fundamental, octave, ...), appended to
// samples; phases vary so the waveform is not a pulse.
void AppendTone(std::vector<std::int16_t>& samples, double hz, double seconds,
                const std::vector<double>& partials) {
    const double twoPi = 8.0 * std::atan(1.0);
    const auto start = samples.size();
    double sum = 0.0;
    for (double a : partials) {
        sum += a;
    }
    for (long i = 0; i < std::lround(seconds * 44100); ++i) {
        const double t = static_cast<double>(start + static_cast<std::size_t>(i)) / 44100;
        double v = 0.0;
        for (std::size_t h = 0; h < partials.size(); ++h) {
            v += partials[h] * std::sin(twoPi * hz * static_cast<double>(h + 1) * t + h);
        }
        samples.push_back(static_cast<std::int16_t>(std::lround(v / sum * 16000)));
    }
}

// A string's: the octave stronger than the fundamental.
const std::vector<double> kString = {0.5, 1.0, 0.7, 0.5, 0.3, 0.2};

TEST(PreciseAutomaticMode, InTuneLowStringReadsWithinACentOnceSettled) {
    CDoreme doreme;
    std::vector<std::int16_t> samples;
    AppendTone(samples, doreme.Frequency(19), 4.0, kString); // E2
    const auto rows = AnalyseSamples(samples, doreme, std::nullopt, true);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_FALSE(rows[0].shownHz);                  // one frame is no confirmation
    for (std::size_t i = 3; i < rows.size(); ++i) { // settled: 1.1 s on
        ASSERT_TRUE(rows[i].shownHz) << i;
        EXPECT_NEAR(Cents(*rows[i].shownHz, doreme.Frequency(19)), 0.0, 1.0) << i;
        EXPECT_EQ(rows[i].note, "E2");
        EXPECT_EQ(rows[i].cents, 0);
    }
}

TEST(PreciseAutomaticMode, WeakFundamentalsLockOntoTheFundamental) {
    CDoreme doreme;
    // The fundamental a tenth or a twentieth of the octave, from a low string to a flute.
    for (const int note : {7, 19, 31, 43, 60}) {
        for (const std::vector<double>& partials :
             {std::vector<double>{0.1, 1.0, 0.6, 0.4, 0.2}, {0.05, 1.0, 0.8, 0.3, 0.2, 0.1}}) {
            std::vector<std::int16_t> samples;
            AppendTone(samples, doreme.Frequency(note), 3.0, partials);
            const auto rows = AnalyseSamples(samples, doreme, std::nullopt, true);
            for (std::size_t i = 3; i < rows.size(); ++i) {
                EXPECT_EQ(rows[i].note, NoteTable::DualName(note)) << note << " " << i;
                ASSERT_TRUE(rows[i].shownHz) << note << " " << i;
                EXPECT_LT(std::abs(Cents(*rows[i].shownHz, doreme.Frequency(note))), 30.0);
            }
        }
    }
}

// Spectra as the guard sees them: partials of f0 with the given amplitudes, in 2 / n units.
TEST(OctaveGuard, AnEstimateAnOctaveOffComesBackToAWeakFundamental) {
    constexpr int n = 32768;
    const double f0 = 110.0;
    auto spectrum = [&](const std::vector<double>& partials) {
        std::vector<double> s(n / 2, 0.5); // a faint noise floor
        for (std::size_t h = 0; h < partials.size(); ++h) {
            s[static_cast<std::size_t>(std::lround(f0 * static_cast<double>(h + 1) * n / 44100))] =
                partials[h] * 4000;
        }
        return s;
    };
    const OctaveGuard guard(27.5, 4186.0);
    const auto weak = spectrum({0.05, 1.0, 0.7, 0.5});
    EXPECT_NEAR(*guard.Check(weak, n, 2 * f0), f0, 1.0); // the octave
    EXPECT_NEAR(*guard.Check(weak, n, f0 / 2), f0, 1.0); // below the sound
    EXPECT_NEAR(*guard.Check(weak, n, f0), f0, 1.0);     // already right
    const auto lone = spectrum({1.0});
    EXPECT_NEAR(*guard.Check(lone, n, f0 / 5), f0, 1.0);               // a ratio to noise
    EXPECT_FALSE(guard.Check(std::vector<double>(n / 2, 0.5), n, f0)); // only noise
}

TEST(PreciseAutomaticMode, AChangeOfStringSettlesWithinFourBlocksShowingNothingWrongMeanwhile) {
    CDoreme doreme;
    for (const auto& [from, to] : {std::pair{19, 24}, {24, 19}, {31, 36}, {12, 19}}) {
        std::vector<std::int16_t> samples;
        AppendTone(samples, doreme.Frequency(from), 3.0, kString);
        AppendTone(samples, doreme.Frequency(to), 3.0, kString);
        const auto rows = AnalyseSamples(samples, doreme, std::nullopt, true);
        // The first row after the change of string, then the first that reaches the second.
        std::size_t settled = 0;
        while (rows[settled].timeSeconds <= 3.0) {
            ++settled;
        }
        while (settled < rows.size() &&
               !(rows[settled].shownHz && rows[settled].note == NoteTable::DualName(to))) {
            // Nothing new, or the first string still ringing into the block: never a value
            // between the two.
            ASSERT_TRUE(rows[settled].shownHz) << from;
            EXPECT_NEAR(Cents(*rows[settled].shownHz, doreme.Frequency(from)), 0.0, 5.0) << from;
            ++settled;
        }
        ASSERT_LT(settled, rows.size()) << from;
        EXPECT_LE(rows[settled].timeSeconds - 3.0, 1.5) << from;
        for (std::size_t i = settled; i < rows.size(); ++i) {
            EXPECT_NEAR(Cents(*rows[i].shownHz, doreme.Frequency(to)), 0.0, 5.0) << from << i;
        }
    }
}

} // namespace
