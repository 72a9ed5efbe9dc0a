#include "KeptReading.h"

#include <gtest/gtest.h>

namespace {

void PlayRun(KeptReading& kept, std::initializer_list<double> readings) {
    for (const double hz : readings) {
        kept.Add(hz);
    }
    kept.Add(std::nullopt);
}

TEST(KeptReading, KeepsWhereARunSettledNotAFlickerAfterIt) {
    KeptReading kept;
    EXPECT_FALSE(kept.Shown());
    // A first short run is all there is to keep.
    PlayRun(kept, {110.9});
    EXPECT_EQ(kept.Shown(), 110.9);

    // Live, the meter follows every reading; once stopped, the last three's median stays,
    // not the fading string's last reading.
    kept.Add(110.0);
    kept.Add(110.2);
    kept.Add(110.1);
    kept.Add(110.3);
    EXPECT_TRUE(kept.Live());
    EXPECT_EQ(kept.Shown(), 110.3);
    kept.Add(108.0);
    kept.Stop();
    EXPECT_FALSE(kept.Live());
    EXPECT_EQ(kept.Shown(), 110.1);

    // Another string's partial lights it for two blocks: shown live, then forgotten.
    PlayRun(kept, {113.0, 113.1});
    EXPECT_EQ(kept.Shown(), 110.1);

    // Plucked again after a turn of the peg: three blocks are a reading of its own.
    PlayRun(kept, {111.0, 111.2, 111.1});
    EXPECT_EQ(kept.Shown(), 111.1);
}

} // namespace
