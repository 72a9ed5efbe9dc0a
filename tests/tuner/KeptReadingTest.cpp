#include "KeptReading.h"

#include <gtest/gtest.h>

namespace {

void PlayRun(KeptReading& kept, std::initializer_list<double> readings) {
    for (const double hz : readings) {
        kept.Add(hz);
    }
    EXPECT_EQ(kept.Shown(), *(readings.end() - 1)); // live: the latest
    kept.Stop();
}

TEST(KeptReading, KeepsWhereARunSettledNotAFlickerAfterIt) {
    KeptReading kept;
    EXPECT_FALSE(kept.Shown());
    PlayRun(kept, {110.9}); // a first short run is all there is to keep
    EXPECT_EQ(kept.Shown(), 110.9);
    // Stopped: the last three's median, not the fading string's last reading.
    PlayRun(kept, {110.0, 110.2, 110.1, 110.3, 108.0});
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
