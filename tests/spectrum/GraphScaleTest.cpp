#include "GraphScale.h"

#include "Doreme.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const CDoreme kDoreme; // A4 = 440 Hz
const GraphScale kScale(kDoreme.Frequency(0), kDoreme.Frequency(87));

TEST(GraphScale, FrequenciesMapFiveCentsToThePixelFromA0) {
    EXPECT_EQ(kScale.FrequencyToX(kDoreme.Frequency(kNoteA4) * 1.0001), GraphScale::NoteX(48));
    EXPECT_EQ(kScale.FrequencyToX(kDoreme.Frequency(kNoteA4) * std::pow(2.0, 11.0 / 1200)),
              GraphScale::NoteX(48) + 2);
    // At or below A0, zero and nonsense all stand on the first line.
    for (double hz : {27.5, 10.0, 0.0, -5.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(kScale.FrequencyToX(hz), GraphScale::kLeft) << hz;
    }
    // From about 4435 Hz on nothing is drawn.
    EXPECT_LT(kScale.FrequencyToX(4430.0), GraphScale::kRight);
    EXPECT_GE(kScale.FrequencyToX(4436.0), GraphScale::kRight);
    EXPECT_GE(kScale.FrequencyToX(std::numeric_limits<double>::infinity()), GraphScale::kRight);
    // A pitch history entry of 0 lands far left, out of sight.
    EXPECT_LT(kScale.MarkerX(0.0), -2);
}

TEST(GraphScale, MagnitudesStayBetweenTopLineAndBaseline) {
    constexpr double kFull = 32768.0;
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull, 0), GraphScale::kTop);
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull / 2, 0), 190);
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull / 10, 3), GraphScale::kTop); // step 3 is 10 %
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull * 1000, 0), GraphScale::kTop);
    for (double m : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(GraphScale::MagnitudeToY(m, 6), GraphScale::kBaseline) << m;
    }
    // A step outside 0..6 is limited before it indexes the table.
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull / 100, 40), GraphScale::kTop);
    EXPECT_EQ(GraphScale::MagnitudeToY(kFull / 2, -3), 190);
}

TEST(GraphScale, ScaleLabelsArePaddedPercentages) {
    EXPECT_EQ(GraphScale::ScaleLabel(0, 0), "100.0%");
    EXPECT_EQ(GraphScale::ScaleLabel(0, 10), "  0.0%");
    EXPECT_EQ(GraphScale::ScaleLabel(6, 0), "  1.0%");
    EXPECT_EQ(GraphScale::ScaleLabel(6, 1), "  0.9%");
}

TEST(GraphScale, NumberedNotationFollowsTheKey) {
    constexpr int kA0 = 0, kC1 = 3, kD1 = 5, kA1 = 12;
    EXPECT_EQ(GraphScale::NumberedName(0, kA0), "6");
    EXPECT_EQ(GraphScale::NumberedName(0, kC1), "1");
    EXPECT_EQ(GraphScale::NumberedName(0, kC1 + 1), ":");
    EXPECT_EQ(GraphScale::NumberedName(2, kD1), "1");
    EXPECT_EQ(GraphScale::NumberedName(2, kA1), "5");
    EXPECT_EQ(GraphScale::NumberedName(12, kC1), "1"); // 12 reads like 0
}

TEST(GraphScale, LabelsAreHitWithinSevenPixelsOfTheirLine) {
    const int a4 = GraphScale::NoteX(kNoteA4);
    EXPECT_EQ(GraphScale::HitNote(a4 + 7, 361), kNoteA4);
    EXPECT_EQ(GraphScale::HitNote(a4 - 7, 410), kNoteA4);
    EXPECT_EQ(GraphScale::HitNote(a4 + 8, 400), std::nullopt);
    EXPECT_EQ(GraphScale::HitNote(a4, 360), std::nullopt);
    EXPECT_EQ(GraphScale::HitNote(GraphScale::NoteX(0) - 7, 400), 0);
    EXPECT_EQ(GraphScale::HitNote(GraphScale::NoteX(88), 400), std::nullopt);
}

} // namespace
