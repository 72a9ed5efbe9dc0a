#include "TunerReadout.h"
#include "Doreme.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The input that makes the smoothed value land exactly `cents` from 440 Hz when it was 440.
double InputForSmoothedCents(double cents) {
    return 3.0 * 440.0 * std::pow(2.0, cents / 1200.0) - 2.0 * 440.0;
}

TEST(TunerReadout, StartsOnA4WithEmptyReadouts) {
    CDoreme doreme;
    TunerReadout r(doreme);
    EXPECT_EQ(r.Note(), 48);
    EXPECT_FALSE(r.IsAutomatic());
    EXPECT_EQ(r.Smoothed(), 440.0);
    EXPECT_FALSE(r.IsShowing());
    EXPECT_EQ(r.LowText(), "");
    EXPECT_EQ(r.HighText(), "");
    EXPECT_EQ(r.MeterPosition(), 0);
    const auto n = r.Neighbours();
    EXPECT_EQ(n[0].name, "#G/bA4");
    EXPECT_EQ(n[0].frequency, "415.30Hz");
    EXPECT_EQ(n[1].name, "A4");
    EXPECT_EQ(n[1].frequency, "440.00Hz");
    EXPECT_EQ(n[2].name, "#A/bB4");
    EXPECT_EQ(n[2].frequency, "466.16Hz");
}

TEST(TunerReadout, SteadyToneApproachesByAThirdOfTheGap) {
    CDoreme doreme;
    TunerReadout r(doreme);
    r.ShowPitch(445.0);
    EXPECT_EQ(r.PitchText(), "441.67Hz (6Cents)");
    EXPECT_EQ(r.MeterPosition(), 6);
    r.ShowPitch(445.0);
    EXPECT_EQ(r.PitchText(), "442.78Hz (10Cents)");
    EXPECT_EQ(r.MeterPosition(), 10);
    for (int i = 0; i < 30; ++i) {
        r.ShowPitch(445.0);
    }
    EXPECT_EQ(r.PitchText(), "445.00Hz (19Cents)");
}

TEST(TunerReadout, SmoothingCarriesOverAChangeOfTarget) {
    CDoreme doreme;
    TunerReadout r(doreme);
    r.ShowPitch(440.0);
    r.SelectNote(43); // E4, 329.63 Hz
    r.ShowPitch(330.0);
    EXPECT_NEAR(r.Smoothed(), 403.33, 0.005);
    EXPECT_EQ(r.PitchText().substr(0, 9), "403.33Hz ");
    r.ShowPitch(330.0);
    EXPECT_EQ(r.PitchText().substr(0, 9), "378.89Hz ");
    EXPECT_EQ(r.HighText(), "H");
}

TEST(TunerReadout, MarksAndMeterBeyondNinetyNineCents) {
    CDoreme doreme;
    TunerReadout high(doreme);
    high.ShowPitch(InputForSmoothedCents(99.5));
    EXPECT_EQ(high.HighText(), "H");
    EXPECT_EQ(high.LowText(), "");
    EXPECT_TRUE(high.PitchText().ends_with("(99Cents)")) << high.PitchText();
    EXPECT_EQ(high.MeterPosition(), 99);

    TunerReadout low(doreme);
    low.ShowPitch(InputForSmoothedCents(-150.0));
    EXPECT_EQ(low.LowText(), "L");
    EXPECT_EQ(low.HighText(), "");
    EXPECT_EQ(low.Cents(), -150);
    EXPECT_EQ(low.MeterPosition(), -100);

    // Just inside 99 there is no mark; cents truncate toward zero on both sides.
    TunerReadout edge(doreme);
    edge.ShowPitch(InputForSmoothedCents(-98.9));
    EXPECT_EQ(edge.LowText(), "");
    TunerReadout flat(doreme);
    flat.ShowPitch(InputForSmoothedCents(-6.7));
    EXPECT_EQ(flat.Cents(), -6);
}

TEST(TunerReadout, BelowOneHertzEmptiesTheReadoutsOnly) {
    CDoreme doreme;
    TunerReadout r(doreme);
    r.ShowPitch(InputForSmoothedCents(-150.0));
    const double smoothed = r.Smoothed();
    r.ShowPitch(0.5);
    EXPECT_FALSE(r.IsShowing());
    EXPECT_EQ(r.LowText(), "");
    EXPECT_EQ(r.MeterPosition(), -100);
    EXPECT_EQ(r.Smoothed(), smoothed);
    // Not-a-number readings are treated the same way rather than poisoning the smoothing.
    r.ShowPitch(std::numeric_limits<double>::quiet_NaN());
    r.ShowPitch(std::numeric_limits<double>::infinity());
    EXPECT_EQ(r.Smoothed(), smoothed);
    EXPECT_FALSE(r.IsShowing());
}

TEST(TunerReadout, AutomaticResultTakesTheNearestNote) {
    CDoreme doreme;
    TunerReadout r(doreme);
    r.SetAutomatic(true);
    EXPECT_TRUE(r.ApplyAutomaticResult(452.0));
    EXPECT_EQ(r.Note(), 48);
    EXPECT_TRUE(r.ApplyAutomaticResult(454.0));
    EXPECT_EQ(r.Note(), 49);
    const std::string shown = r.PitchText();
    EXPECT_FALSE(r.ApplyAutomaticResult(10.0)); // outside the table: nothing changes
    EXPECT_EQ(r.Note(), 49);
    EXPECT_EQ(r.PitchText(), shown);
    EXPECT_TRUE(r.IsAutomatic());
}

TEST(TunerReadout, HalfTonesStopAtTheEndsAndLeaveAutomaticMode) {
    CDoreme doreme;
    TunerReadout r(doreme);
    r.SetAutomatic(true);
    r.SelectNote(0);
    EXPECT_FALSE(r.IsAutomatic());
    r.HalfTone(-1);
    EXPECT_EQ(r.Note(), 0);
    auto n = r.Neighbours();
    EXPECT_EQ(n[0].name, "#G0");
    EXPECT_EQ(n[0].frequency, "25.96Hz");
    EXPECT_EQ(n[1].name, "A0");

    r.SetAutomatic(true);
    r.SelectNote(87);
    r.HalfTone(+1);
    EXPECT_EQ(r.Note(), 87);
    EXPECT_FALSE(r.IsAutomatic());
    n = r.Neighbours();
    EXPECT_EQ(n[2].name, "#C8");
    EXPECT_EQ(n[2].frequency, "4434.92Hz");
    r.HalfTone(-1);
    EXPECT_EQ(r.Note(), 86);
}

TEST(TunerReadout, NeighboursFollowTheReference) {
    CDoreme doreme;
    TunerReadout r(doreme);
    doreme.SetFreqA4(442.0);
    EXPECT_EQ(r.Neighbours()[1].frequency, "442.00Hz");
}

// The windowing toolkit hands the user's locale to the C library; a German one writes a comma.
// The locale is generated into the build folder (LOCPATH), so the test runs on any machine.
TEST(TunerReadout, WritesAPointUnderAGermanLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "LOCPATH holds no de_DE.UTF-8";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5"); // the locale is really in force

    CDoreme doreme;
    TunerReadout r(doreme);
    r.ShowPitch(InputForSmoothedCents(-0.2));
    EXPECT_EQ(r.PitchText(), "439.95Hz (0Cents)");
    EXPECT_EQ(r.Neighbours()[0].frequency, "415.30Hz");
    std::setlocale(LC_ALL, "C");
}

} // namespace
