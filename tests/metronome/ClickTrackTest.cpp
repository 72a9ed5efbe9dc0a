#include "ClickTrack.h"
#include "ClickSample.h"
#include "LampCycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const TimePattern& Pattern(std::string_view text) {
    return *std::find_if(kTimePatterns.begin(), kTimePatterns.end(),
                         [&](const TimePattern& p) { return p.text == text; });
}

std::size_t Length(int tempo, std::string_view pattern) {
    std::vector<std::int16_t> clip(kClipSamples);
    return RenderClickTrack(clip, tempo, Pattern(pattern));
}

TEST(ClickTrack, HoldsTheWholeBarsThatFitTwelveSeconds) {
    EXPECT_EQ(Length(120, "4"), 529200u); // six bars of 4 x 22050
    EXPECT_EQ(Length(30, "6"), 529200u);  // one bar of 6 x 88200
    EXPECT_EQ(Length(100, "3"), 476280u); // six bars of 3 x 26460; a seventh does not fit
    EXPECT_EQ(Length(300, "1"), 60u * 8820u);
    EXPECT_EQ(BeatLength(0), BeatLength(30)); // held to the range, never a division by zero
    std::vector<std::int16_t> small(22049);
    EXPECT_EQ(RenderClickTrack(small, 120, Pattern("1")), 0u);
}

TEST(ClickTrack, EachBeatIsTheClickAtItsAccentThenSilence) {
    const std::pair<std::string_view, std::vector<double>> expected[] = {
        {"1", {1.0}},
        {"2", {1.0, 0.3}},
        {"3", {1.0, 0.3, 0.3}},
        {"4", {1.0, 0.3, 0.5, 0.3}},
        {"3+2", {1.0, 0.3, 0.3, 0.5, 0.3}},
        {"2+3", {1.0, 0.3, 0.5, 0.3, 0.3}},
        {"6", {1.0, 0.3, 0.3, 0.5, 0.3, 0.3}}};
    const std::size_t beat = BeatLength(150);
    for (const auto& [text, accents] : expected) {
        std::vector<std::int16_t> clip(kClipSamples, 777);
        const std::size_t length = RenderClickTrack(clip, 150, Pattern(text));
        ASSERT_EQ(length % (beat * accents.size()), 0u) << text;
        for (std::size_t p = 0; p < length / beat; ++p) {
            const double accent = accents[p % accents.size()];
            const auto at = clip.begin() + static_cast<std::ptrdiff_t>(p * beat);
            ASSERT_TRUE(std::equal(
                kClick.begin(), kClick.end(), at,
                [&](int click, int v) { return v == static_cast<std::int16_t>(click * accent); }))
                << text << " beat " << p;
            ASSERT_EQ(std::count(at + kClickSamples, at + static_cast<std::ptrdiff_t>(beat), 0),
                      static_cast<std::ptrdiff_t>(beat - kClickSamples));
        }
    }
}

TEST(ClickTrack, ClickReachesFullScaleBothWaysAndDiesAway) {
    EXPECT_EQ(*std::max_element(kClick.begin(), kClick.end()), 32767);
    EXPECT_EQ(*std::min_element(kClick.begin(), kClick.end()), -32768);
    const auto full = std::find_if(kClick.begin(), kClick.end(), [](int v) { return v == 32767; });
    EXPECT_NEAR(static_cast<double>(full - kClick.begin()) / 44.1, 3.5, 1.0); // ms
    EXPECT_EQ(kClick.back(), 0); // the silence after it follows without a step
}

TEST(LampCycle, StartsUnlitThenCountsTheLampsOfTheBar) {
    for (const auto& [text, shown] :
         {std::pair{"1", std::vector{0, 1, 1, 1}}, {"3+2", {0, 1, 2, 3, 4, 5, 1, 2}}}) {
        CLampCycle cycle;
        cycle.Restart(Pattern(text).beats);
        std::vector<int> seen;
        std::generate_n(std::back_inserter(seen), shown.size(), [&] { return cycle.Beat(); });
        EXPECT_EQ(seen, shown) << text;
    }
}

} // namespace
