#include "NoteLockedMeasurement.h"
#include "Doreme.h"
#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Meter = NoteLockedMeasurement;

TEST(NoteLockedTables, FactorAndBandByNote) {
    EXPECT_EQ(Meter::NoteFactor(-3), 8);
    EXPECT_EQ(Meter::NoteFactor(0), 8);
    EXPECT_EQ(Meter::NoteFactor(1), 4);
    EXPECT_EQ(Meter::NoteFactor(12), 4);
    EXPECT_EQ(Meter::NoteFactor(13), 2);
    EXPECT_EQ(Meter::NoteFactor(24), 2);
    EXPECT_EQ(Meter::NoteFactor(25), 1);
    EXPECT_EQ(Meter::NoteFactor(87), 1);

    EXPECT_EQ(Meter::BandCents(0), 800);
    EXPECT_EQ(Meter::BandCents(12), 800);
    EXPECT_EQ(Meter::BandCents(13), 600);
    EXPECT_EQ(Meter::BandCents(16), 500);
    EXPECT_EQ(Meter::BandCents(20), 500);
    EXPECT_EQ(Meter::BandCents(21), 400);
    EXPECT_EQ(Meter::BandCents(30), 300);
    EXPECT_EQ(Meter::BandCents(53), 300);
    EXPECT_EQ(Meter::BandCents(54), 200);
    EXPECT_EQ(Meter::BandCents(60), 200);
}

TEST(NoteLockedTables, BandAroundA4) {
    const Meter::Band band = Meter::BandBins(440.0, Meter::BandCents(48));
    EXPECT_EQ(band.lo, 137);
    EXPECT_EQ(band.hi, 194);
}

TEST(AppendDecimated, KeepsEveryXthSampleNewestLast) {
    Meter meter;
    std::vector<std::int16_t> block(16384);
    for (int i = 0; i < 16384; ++i) {
        block[i] = static_cast<std::int16_t>(i % 1000);
    }
    meter.AppendDecimated(block, 8); // note 0: 2048 values per block
    const auto h = meter.History();
    EXPECT_EQ(h[16384 - 2049], 0.0);
    EXPECT_EQ(h[16384 - 2048], 0.0); // sample 0
    EXPECT_EQ(h[16384 - 2047], 8.0);
    EXPECT_EQ(h[16383], (2047 * 8) % 1000);

    meter.AppendDecimated(std::vector<std::int16_t>(16384, 5), 8);
    EXPECT_EQ(h[16384 - 4095], 8.0); // the first block moved down by 2048
    EXPECT_EQ(h[16384 - 2048], 5.0);

    // With x = 1 a block replaces the whole history.
    meter.AppendDecimated(std::vector<std::int16_t>(16384, -7), 1);
    EXPECT_TRUE(std::all_of(h.begin(), h.end(), [](double v) { return v == -7.0; }));
}

TEST(NoteLockedMeasure, CleanA4ReadsA4) {
    CDoreme doreme;
    Meter meter;
    SineBlocks sine(440.0, 10000.0);
    meter.AppendDecimated(sine.Next(), Meter::NoteFactor(48));
    const auto hz = meter.NoteLockedMeasure(48, doreme.Notes());
    ASSERT_TRUE(hz.has_value());
    EXPECT_NEAR(CentsBetween(*hz, 440.0), 0.0, 2.0);
}

TEST(NoteLockedMeasure, DetunedAndLowNotesThroughDecimation) {
    CDoreme doreme;
    struct Case {
        int note;
        double cents;
    };
    for (const Case c : {Case{48, 12.0}, Case{60, -20.0}, Case{12, 5.0}, Case{19, -8.0},
                         Case{0, 0.0}, Case{75, 15.0}}) {
        Meter meter;
        const double hz = doreme.Frequency(c.note) * std::pow(2.0, c.cents / 1200.0);
        SineBlocks sine(hz, 8000.0);
        std::optional<double> measured;
        // Enough blocks to fill the history at this note's decimation.
        for (int b = 0; b < Meter::NoteFactor(c.note) + 1; ++b) {
            meter.AppendDecimated(sine.Next(), Meter::NoteFactor(c.note));
            measured = meter.NoteLockedMeasure(c.note, doreme.Notes());
        }
        ASSERT_TRUE(measured.has_value()) << c.note;
        EXPECT_NEAR(CentsBetween(*measured, hz), 0.0, 3.0) << "note " << c.note;
    }
}

TEST(NoteLockedMeasure, SilenceReportsNothing) {
    CDoreme doreme;
    Meter meter;
    EXPECT_FALSE(meter.NoteLockedMeasure(48, doreme.Notes()).has_value());
    meter.AppendDecimated(std::vector<std::int16_t>(16384, 0), 1);
    EXPECT_FALSE(meter.NoteLockedMeasure(48, doreme.Notes()).has_value());
    EXPECT_FALSE(meter.MeasureZeroCrossings().has_value());
}

// A history of alternating runs: `first` samples, then runs of `length` until `switchAt`
// sign changes, then runs of `later`.
void FillRuns(Meter& meter, int start, int first, int length, int switchAt, int later) {
    auto h = meter.History();
    std::fill(h.begin(), h.end(), 0.0);
    double sign = 1.0;
    int k = start;
    int changes = 0;
    int run = first;
    while (k < Meter::kSize) {
        for (int i = 0; i < run && k < Meter::kSize; ++i) {
            h[k++] = sign;
        }
        sign = -sign;
        ++changes;
        run = changes < switchAt ? length : later;
    }
}

TEST(MeasureZeroCrossings, LeavesOutTheFirstRunAndStopsAt800Changes) {
    Meter meter;
    // The partial first run of 3 samples does not count: every later half-period is 10.
    FillRuns(meter, 100, 3, 10, 1 << 30, 10);
    ASSERT_TRUE(meter.MeasureZeroCrossings().has_value());
    EXPECT_DOUBLE_EQ(*meter.MeasureZeroCrossings(), 44100.0 / 20);

    // Runs of 5 up to the 800th change, then runs of 9: counting stops at 800, so the later
    // runs never reach the mean.
    FillRuns(meter, 100, 5, 5, 801, 9);
    EXPECT_DOUBLE_EQ(*meter.MeasureZeroCrossings(), 44100.0 / 10);

    // Values before index 100 are ignored when looking for the start.
    FillRuns(meter, 120, 4, 12, 1 << 30, 12);
    meter.History()[10] = 5.0;
    EXPECT_DOUBLE_EQ(*meter.MeasureZeroCrossings(), 44100.0 / 24);
}

TEST(MeasureZeroCrossings, NeedsSixChanges) {
    Meter meter;
    // Runs of 3000: five changes in the history.
    FillRuns(meter, 100, 3000, 3000, 1 << 30, 3000);
    EXPECT_FALSE(meter.MeasureZeroCrossings().has_value());
    // A history whose only non-zero values lie beyond 8191 has no start.
    auto h = meter.History();
    std::fill(h.begin(), h.end(), 0.0);
    for (int k = 8192; k < Meter::kSize; ++k) {
        h[k] = (k / 4) % 2 ? 1.0 : -1.0;
    }
    EXPECT_FALSE(meter.MeasureZeroCrossings().has_value());
}

TEST(BandPass, KeepsTheBandAndRemovesTheRest) {
    Meter meter;
    const double twoPi = 8.0 * std::atan(1.0);
    auto h = meter.History();
    // Bin 160 inside 137..194, bins 60 and 400 outside.
    for (int k = 0; k < Meter::kSize; ++k) {
        h[k] = 1000.0 * std::cos(twoPi * 160 * k / Meter::kSize) +
               1000.0 * std::cos(twoPi * 60 * k / Meter::kSize) +
               1000.0 * std::cos(twoPi * 400 * k / Meter::kSize);
    }
    meter.BandPass(137, 194);
    for (int k = 0; k < Meter::kSize; k += 97) {
        // Bin 160 and its mirror image both lie in the kept range: it passes unchanged.
        EXPECT_NEAR(h[k], 1000.0 * std::cos(twoPi * 160 * k / Meter::kSize), 1e-6) << k;
    }
}

} // namespace
