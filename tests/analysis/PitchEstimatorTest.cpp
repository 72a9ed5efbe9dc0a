#include "PitchEstimator.h"
#include "Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kN = 32768;
constexpr double kBinHz = 44100.0 / kN;
constexpr double kA0 = 27.5;
constexpr double kC8 = 4186.009044809578;

std::vector<double> EmptySpectrum() {
    return std::vector<double>(kN / 2, 0.0);
}

double Estimate(const std::vector<double>& spectrum) {
    return EstimatePitch(spectrum, kN, kA0, kC8);
}

TEST(EstimatePitch, SilenceGivesTheLowestSearchedBin) {
    EXPECT_NEAR(Estimate(EmptySpectrum()), 20 * kBinHz, 1e-9);
    EXPECT_NEAR(Estimate(EmptySpectrum()), 26.92, 0.005);
}

TEST(EstimatePitch, LonePeakGivesItsBin) {
    auto s = EmptySpectrum();
    s[327] = 200.0;
    EXPECT_NEAR(Estimate(s), 327 * kBinHz, 1e-9);
    EXPECT_NEAR(Estimate(s), 440.09, 0.01);
}

TEST(EstimatePitch, PeaksBelowAndAboveCorrectTheStrongestBin) {
    // Strongest at 200; 100 below gives ratio 2, then 300 above gives ratio 3 against 100.
    auto s = EmptySpectrum();
    s[200] = 300.0;
    s[100] = 100.0;
    s[300] = 100.0;
    EXPECT_NEAR(Estimate(s), 100 * kBinHz, 1e-9);

    // A strongest second harmonic with the third above it: 3/2 divides by three.
    auto t = EmptySpectrum();
    t[400] = 300.0;
    t[600] = 100.0;
    EXPECT_NEAR(Estimate(t), 200 * kBinHz, 1e-9);
}

TEST(EstimatePitch, SearchesStartFiveBinsAway) {
    // A bump four bins below would hide the subharmonic if the search began next to the peak.
    auto s = EmptySpectrum();
    s[200] = 300.0;
    s[196] = 60.0;
    s[100] = 100.0;
    EXPECT_NEAR(Estimate(s), 100 * kBinHz, 1e-9);
}

TEST(EstimatePitch, EqualMaximaTakeTheLowerBin) {
    auto s = EmptySpectrum();
    s[300] = 150.0;
    s[1000] = 150.0; // ratio 3.33: no correction, so the choice of strongest shows
    EXPECT_NEAR(Estimate(s), 300 * kBinHz, 1e-9);
    EXPECT_EQ(FindStrongestBin(s, 20, 3110), 300);
}

TEST(EstimatePitch, HigherHarmonicsRefineTheEstimate) {
    auto s = EmptySpectrum();
    s[100] = 300.0;
    s[701] = 100.0; // 7.01: the seventh harmonic moves the estimate to 701 / 7
    EXPECT_NEAR(Estimate(s), 701.0 / 7 * kBinHz, 1e-9);

    auto t = EmptySpectrum();
    t[100] = 300.0;
    t[800] = 100.0; // ratio 8 is beyond the list
    EXPECT_NEAR(Estimate(t), 100 * kBinHz, 1e-9);

    // Up to three peaks above are used, each against the running estimate.
    auto u = EmptySpectrum();
    u[100] = 300.0;
    u[201] = 100.0; // 2.01 -> 100.5
    u[302] = 100.0; // 3.005 against 100.5 -> 100.667
    u[404] = 100.0; // 4.013 -> 101.0
    u[510] = 100.0; // a fourth peak above (5.05 -> 102) is never looked at
    EXPECT_NEAR(Estimate(u), 101.0 * kBinHz, 1e-9);
}

TEST(EstimatePitch, PeaksOutsideTheLimitsAreIgnored) {
    auto s = EmptySpectrum();
    s[10] = 1000.0;   // below A0
    s[5000] = 1000.0; // above C8
    s[327] = 100.0;
    EXPECT_NEAR(Estimate(s), 327 * kBinHz, 1e-9);
}

TEST(EstimatePitch, ShortSpectrumIsNeverReadPastItsEnd) {
    std::vector<double> s(64, 0.0);
    s[40] = 500.0;
    s[60] = 500.0;
    const double f = EstimatePitch(s, kN, kA0, kC8);
    EXPECT_NEAR(f, 40 * kBinHz, 1e-9);
    EXPECT_EQ(FindPeakAbove(s, 45, 3110), -1); // 60 cannot be compared five bins above
    EXPECT_EQ(FindPeakBelow(s, 3, -100), -1);
}

TEST(QualifyingPeak, NeedsThresholdAndContrastOnBothSides) {
    auto s = EmptySpectrum();
    s[500] = 50.0;
    EXPECT_FALSE(IsQualifyingPeak(s, 500)); // not above 50
    s[500] = 51.0;
    EXPECT_TRUE(IsQualifyingPeak(s, 500));
    s[505] = 12.75; // exactly a quarter: not strictly more than four times
    EXPECT_FALSE(IsQualifyingPeak(s, 500));
    s[505] = 0.0;
    s[495] = 13.0;
    EXPECT_FALSE(IsQualifyingPeak(s, 500));
}

TEST(FindPeak, SearchesInItsDirectionAndGivesTheFirst) {
    auto s = EmptySpectrum();
    s[300] = 100.0;
    s[400] = 100.0;
    EXPECT_EQ(FindPeakAbove(s, 200, 500), 300);
    EXPECT_EQ(FindPeakAbove(s, 301, 500), 400);
    EXPECT_EQ(FindPeakAbove(s, 401, 500), -1);
    EXPECT_EQ(FindPeakAbove(s, 200, 299), -1);
    EXPECT_EQ(FindPeakBelow(s, 500, 200), 400);
    EXPECT_EQ(FindPeakBelow(s, 399, 200), 300);
    EXPECT_EQ(FindPeakBelow(s, 299, 20), -1);
}

TEST(FindStrongestBin, RangeIsInclusiveAndEmptyRangeGivesFirst) {
    auto s = EmptySpectrum();
    s[50] = 2.0;
    s[60] = 3.0;
    EXPECT_EQ(FindStrongestBin(s, 20, 60), 60);
    EXPECT_EQ(FindStrongestBin(s, 20, 59), 50);
    EXPECT_EQ(FindStrongestBin(s, 70, 60), 70);
}

TEST(HarmonicRatio, TakesTheFirstMatchingRatioInOrder) {
    EXPECT_DOUBLE_EQ(HarmonicRatio(100, 200), 100.0);     // 2/1 before 4/2 and 6/3
    EXPECT_DOUBLE_EQ(HarmonicRatio(100, 300), 100.0);     // 3/1 before 6/2
    EXPECT_DOUBLE_EQ(HarmonicRatio(100, 150), 50.0);      // 3/2 divides by three
    EXPECT_DOUBLE_EQ(HarmonicRatio(300, 400), 100.0);     // 4/3
    EXPECT_DOUBLE_EQ(HarmonicRatio(600, 700), 700.0 / 6); // 6/5 is within 0.05 before 7/6
    EXPECT_DOUBLE_EQ(HarmonicRatio(100, 113), 113.0 / 7); // only 7/6, the last ratio
    EXPECT_DOUBLE_EQ(HarmonicRatio(100, 204.9), 102.45);
    EXPECT_EQ(HarmonicRatio(100, 205.1), -1.0); // 0.051 away from 2
    EXPECT_EQ(HarmonicRatio(100, 105), -1.0);
    EXPECT_EQ(HarmonicRatio(100, 800), -1.0);
}

// The whole road of a frame: a bowed-string-like tone whose second harmonic is stronger than
// its fundamental still reads at the fundamental.
TEST(EstimatePitch, HarmonicToneThroughTheTransform) {
    const double pi = 4.0 * std::atan(1.0);
    CFft fft;
    ASSERT_EQ(fft.Init(kN), 1);
    for (double f0 : {110.0, 196.0, 440.0, 880.0}) {
        std::vector<std::int16_t> samples(kN);
        const double amplitudes[] = {0.3, 1.0, 0.6, 0.4};
        for (int i = 0; i < kN; ++i) {
            double v = 0.0;
            for (int h = 0; h < 4; ++h) {
                v += amplitudes[h] * std::sin(2.0 * pi * f0 * (h + 1) * i / 44100.0);
            }
            samples[i] = static_cast<std::int16_t>(std::lround(6000.0 * v));
        }
        fft.PrepareFrame(samples);
        fft.Transform();
        std::vector<double> spectrum(kN / 2);
        fft.MagnitudeSpectrum(spectrum);
        EXPECT_NEAR(Estimate(spectrum), f0, kBinHz) << f0;
    }
}

} // namespace
