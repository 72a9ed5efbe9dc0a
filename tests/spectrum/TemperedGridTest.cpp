#include "Doreme.h"
#include "GraphScale.h"

#include <gtest/gtest.h>

namespace {

TEST(TemperedGrid, EachNoteOfATemperamentLandsOnItsGridLine) {
    CDoreme doreme;
    doreme.SetTemperament(*Temperament::BuiltIn("werckmeister3"), 0);
    const GraphScale scale(doreme.Notes());
    const GraphScale plain(doreme.Frequency(kNoteFirst), doreme.Frequency(kNoteLast));
    int moved = 0;
    for (int k = kNoteFirst; k <= kNoteLast; ++k) {
        const double hz = doreme.Frequency(k) * 1.0001; // a hair above, against truncation
        EXPECT_EQ(scale.FrequencyToX(hz), GraphScale::NoteX(k)) << k;
        moved += plain.FrequencyToX(hz) != GraphScale::NoteX(k);
    }
    EXPECT_GT(moved, 20); // the plain mapping would have missed the lines
}

TEST(TemperedGrid, EqualTemperamentMapsAsItAlwaysDid) {
    CDoreme doreme;
    doreme.SetFreqA4(442.0);
    const GraphScale scale(doreme.Notes());
    const GraphScale plain(doreme.Frequency(kNoteFirst), doreme.Frequency(kNoteLast));
    for (double hz = 1.0; hz < 30000.0; hz *= 1.0003) {
        ASSERT_EQ(scale.FrequencyToX(hz), plain.FrequencyToX(hz)) << hz;
        ASSERT_EQ(scale.MarkerX(hz), plain.MarkerX(hz)) << hz;
    }
}

} // namespace
