#include "ProbeTone.h"

#include "AudioTestSupport.h"
#include "Doreme.h"
#include "MemoryWaveOut.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

class Probe : public ::testing::Test {
protected:
    Probe() { probe.ProbeToneInit(nullptr); } // the test refills in the pane's place

    // Sample n of an uninterrupted tone that has run through the given number of cycles: the
    // harmonic mix under the rising envelope.
    static double Ideal(double cycles, int n) {
        const double phase = 2.0 * M_PI * cycles;
        const double envelope = 1.0 - std::pow(4999.0 / 5000.0, n + 1);
        const double v =
            0.5 * std::sin(2.0 * phase) + 0.4 * std::sin(phase) + 0.1 * std::sin(3.0 * phase);
        return v * ProbeTone::kAmplitude * envelope;
    }

    // The tone from sample start of what was played on, as ideal(n) gives it, fading to
    // nothing within kReleaseSamples.
    template <class Ideal> void ExpectFadeAt(int start, Ideal ideal) {
        const auto& played = device.Played();
        ASSERT_GE(played.size(), std::size_t(start + ProbeTone::kReleaseSamples));
        for (int n : {0, 1, 110, 218, 219}) {
            const double gain = (ProbeTone::kReleaseSamples - 1.0 - n) / ProbeTone::kReleaseSamples;
            EXPECT_NEAR(played[std::size_t(start + n)], ideal(start + n) * gain, 2.0) << n;
        }
    }

    int PeakAround(int n) const {
        const auto& played = device.Played();
        return std::abs(*std::max_element(played.begin() + n - 100, played.begin() + n + 100,
                                          [](int a, int b) { return std::abs(a) < std::abs(b); }));
    }

    CDoreme doreme;
    MemoryWaveOut device;
    ProbeTone probe{doreme.Notes(), device};
    ErrorRecorder errors;
};

TEST_F(Probe, PlaysAContinuousToneWithASoftAttack) {
    probe.ProbeToneStart();
    probe.ProbeToneStart(); // already open: nothing more is queued
    ASSERT_TRUE(device.IsOpen());
    EXPECT_EQ(device.QueuedBuffers(), 2);

    // Each refill queues the buffer that has played again, running on where the last ended.
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(device.PlayBuffers(1), 1);
        EXPECT_EQ(probe.ProbeToneRefill(), 1);
        ASSERT_EQ(device.QueuedBuffers(), 2);
    }
    const auto& played = device.Played();
    ASSERT_EQ(played.size(), 3u * kBlockSamples);
    EXPECT_EQ(played[0], 0);
    for (int n : {1, 2, 16383, 16384, 16385, 32767, 32768, 49151}) {
        EXPECT_NEAR(played[static_cast<std::size_t>(n)], Ideal(440.0 * n / 44100, n), 2.0) << n;
    }
    // 63 % of the tone's peak (about 23900) after 5000 samples, 95 % after 15000.
    const double peak = 0.854 * ProbeTone::kAmplitude;
    EXPECT_NEAR(PeakAround(5000), 0.632 * peak, 0.02 * peak);
    EXPECT_NEAR(PeakAround(15000), 0.950 * peak, 0.02 * peak);

    // A new note takes over at the next fill, with phase and envelope running on.
    probe.SetNote(kNoteA4 + 12);
    ASSERT_EQ(device.PlayBuffers(1), 1);
    probe.ProbeToneRefill();
    ASSERT_EQ(device.PlayBuffers(2), 2);
    constexpr int kSwitch = 5 * kBlockSamples;
    for (int n : {kSwitch - 1, kSwitch, kSwitch + 1, kSwitch + 77}) {
        const double cycles =
            (440.0 * std::min(n, kSwitch) + 880.0 * std::max(n - kSwitch, 0)) / 44100;
        EXPECT_NEAR(played[static_cast<std::size_t>(n)], Ideal(cycles, n), 2.0) << n;
    }

    // The stop fades the tone out over 5 ms from the last sample played, then the block plays
    // out in silence and the device closes.
    probe.ProbeToneStop();
    EXPECT_FALSE(probe.IsPlaying());
    EXPECT_EQ(probe.Phase(), 0.0);
    ASSERT_EQ(device.PlayBuffers(2), 1); // the fade's block alone
    ExpectFadeAt(kSwitch + kBlockSamples, [&](int n) {
        return Ideal((440.0 * kSwitch + 880.0 * (n - kSwitch)) / 44100, n);
    });
    EXPECT_TRUE(std::all_of(played.end() - kBlockSamples + ProbeTone::kReleaseSamples, played.end(),
                            [](std::int16_t v) { return v == 0; }));
    probe.ProbeToneRefill();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(probe.ProbeToneRefill(), 1); // a late notification changes nothing
    EXPECT_EQ(device.QueuedBuffers(), 0);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(Probe, TheFadeTakesTheUnplayedPartsPlaceAndANewStartFollowsIt) {
    probe.ProbeToneStart();
    ASSERT_EQ(device.PlayBuffers(1), 1);
    probe.ProbeToneStop();  // the second block had not been played
    probe.ProbeToneStart(); // nor the fade: it goes first, on the same device, also when
    probe.ProbeToneStop();  // the tone after it ends before anything of it played
    probe.ProbeToneStart();
    EXPECT_EQ(device.QueuedBuffers(), 3);
    ASSERT_EQ(device.PlayBuffers(2), 2);
    ExpectFadeAt(kBlockSamples, [](int n) { return Ideal(440.0 * n / 44100, n); });
    constexpr int kNew = kBlockSamples + ProbeTone::kReleaseSamples;
    EXPECT_NEAR(device.Played()[kNew + 200], Ideal(440.0 * 200 / 44100, 200), 2.0);

    probe.ProbeToneStop();
    ASSERT_EQ(device.PlayBuffers(2), 1);
    probe.ProbeToneRefill();
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(Probe, AFailedOpenIsShownAndTheNextStartTriesAgain) {
    device.FailNextOpenWith(WAVE_ERR_NODEVICE);
    probe.ProbeToneStart();
    EXPECT_FALSE(probe.IsOpen());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "Error = 0x00000002, : No sound device is available.");

    probe.SetNote(kNoteA4 + 12);
    probe.ProbeToneStart();
    EXPECT_TRUE(probe.IsOpen());
    ASSERT_EQ(device.PlayBuffers(1), 1);
    EXPECT_NEAR(device.Played()[200], Ideal(880.0 * 200 / 44100, 200), 2.0);
}

} // namespace
