#include "ClickTrack.h"
#include "ClickSample.h"
#include "LampCycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const TimePattern& Pattern(std::string_view text) {
    return *std::find_if(kTimePatterns.begin(), kTimePatterns.end(),
                         [&](const TimePattern& p) { return p.text == text; });
}

struct Track {
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(kClipSamples, 777);
    std::size_t length = 0;
    Track(int tempo, std::string_view pattern) {
        length = RenderClickTrack(samples, tempo, Pattern(pattern));
    }
    // The loudest sample of beat p, as a share of full scale.
    double Peak(std::size_t beat, std::size_t p) const {
        const auto start = samples.begin() + static_cast<std::ptrdiff_t>(p * beat);
        const auto loudest =
            std::max_element(start, start + static_cast<std::ptrdiff_t>(beat),
                             [](int a, int b) { return std::abs(a) < std::abs(b); });
        return std::abs(*loudest) / 32768.0;
    }
};

TEST(ClickTrack, HoldsWholeBarsThatFitTheTwelveSeconds) {
    EXPECT_EQ(BeatLength(120), 22050u);
    EXPECT_EQ(Track(120, "4").length, 529200u); // six bars of 88200
    EXPECT_EQ(Track(30, "6").length, 529200u);  // a single bar of 6 x 88200
    EXPECT_EQ(Track(100, "3").length, 476280u); // six bars of 79380; a seventh would not fit
    EXPECT_EQ(BeatLength(300), 8820u);
    EXPECT_EQ(Track(300, "1").length, 529200u);
    EXPECT_EQ(Track(31, "6").length, 6u * BeatLength(31)); // one bar, the rest left alone
    const Track slow(31, "6");
    EXPECT_EQ(slow.samples[slow.length], 777);

    // Out-of-range tempos are held to the range; a buffer shorter than a bar gets nothing.
    EXPECT_EQ(BeatLength(0), BeatLength(kMinTempo));
    EXPECT_EQ(BeatLength(1000), BeatLength(kMaxTempo));
    std::vector<std::int16_t> small(22049);
    EXPECT_EQ(RenderClickTrack(small, 120, Pattern("1")), 0u);
}

TEST(ClickTrack, EachBeatIsTheClickAtItsAccentThenSilence) {
    // The loudest beat opens the bar; the half-loud one marks the inner division.
    const std::pair<std::string_view, std::vector<double>> expected[] = {
        {"1", {1.0}},
        {"2", {1.0, 0.3}},
        {"3", {1.0, 0.3, 0.3}},
        {"4", {1.0, 0.3, 0.5, 0.3}},
        {"3+2", {1.0, 0.3, 0.3, 0.5, 0.3}},
        {"2+3", {1.0, 0.3, 0.5, 0.3, 0.3}},
        {"6", {1.0, 0.3, 0.3, 0.5, 0.3, 0.3}},
    };
    for (const auto& [text, accents] : expected) {
        SCOPED_TRACE(std::string(text));
        const Track track(150, text);
        const std::size_t beat = BeatLength(150);
        ASSERT_EQ(track.length % (beat * accents.size()), 0u);
        for (std::size_t p = 0; p < track.length / beat; ++p) {
            const double accent = accents[p % accents.size()];
            EXPECT_NEAR(track.Peak(beat, p), accent, 0.001) << "beat " << p;
            const std::int16_t* at = &track.samples[p * beat];
            for (std::size_t i = 0; i < kClickSamples; i += 97) {
                ASSERT_EQ(at[i], static_cast<std::int16_t>(kClick[i] * accent)) << "beat " << p;
            }
            ASSERT_TRUE(std::all_of(at + kClickSamples, at + beat, [](int v) { return v == 0; }));
        }
    }
}

TEST(ClickTrack, ClickIsAShortTapReachingFullScaleBothWays) {
    const auto full = [](std::int16_t v) { return v == 32767 || v == -32768; };
    EXPECT_EQ(*std::max_element(kClick.begin(), kClick.end()), 32767);
    EXPECT_EQ(*std::min_element(kClick.begin(), kClick.end()), -32768);
    const auto first = std::find_if(kClick.begin(), kClick.end(), full) - kClick.begin();
    EXPECT_GE(first, 44100 * 25 / 10000); // 2.5 .. 5 ms in
    EXPECT_LE(first, 44100 * 5 / 1000);
    // It has died away by its end, so the silence after it follows without a step.
    EXPECT_TRUE(
        std::all_of(kClick.end() - 8, kClick.end(), [](int v) { return std::abs(v) < 50; }));
}

std::vector<int> Lamps(int lamps, int beats) {
    CLampCycle cycle;
    cycle.Restart(lamps);
    std::vector<int> shown;
    for (int i = 0; i < beats; ++i) {
        shown.push_back(cycle.Beat());
    }
    return shown;
}

TEST(LampCycle, StartsUnlitThenCountsTheLampsOfTheBar) {
    EXPECT_EQ(Lamps(Pattern("1").beats, 5), std::vector<int>({0, 1, 1, 1, 1}));
    EXPECT_EQ(Lamps(Pattern("3+2").beats, 13),
              std::vector<int>({0, 1, 2, 3, 4, 5, 1, 2, 3, 4, 5, 1, 2}));
    EXPECT_EQ(Lamps(Pattern("2+3").beats, 7), Lamps(Pattern("3+2").beats, 7));

    CLampCycle cycle;
    cycle.Restart(4);
    cycle.Beat();
    cycle.Beat();
    cycle.Restart(2); // a restart mid-bar begins unlit again with the new count
    EXPECT_EQ(cycle.Beat(), 0);
    EXPECT_EQ(cycle.Beat(), 1);
    EXPECT_EQ(cycle.Beat(), 2);
    EXPECT_EQ(cycle.Beat(), 1);
}

} // namespace
