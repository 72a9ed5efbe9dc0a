#include "SampleRing.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

// A writer thread stamps a rising count in chunks of random byte sizes, splitting samples
// between writes, while the reader takes whatever is there: every value must be the next.
TEST(SampleRing, EverySampleArrivesOnceInOrderAcrossThreads) {
    SampleRing ring(4096);
    constexpr int kSamples = 2'000'000;
    std::jthread writer([&ring] {
        std::vector<char> bytes(kSamples * sizeof(std::int16_t));
        for (int i = 0; i < kSamples; ++i) {
            const auto value = static_cast<std::int16_t>(i);
            std::memcpy(&bytes[i * sizeof value], &value, sizeof value);
        }
        std::minstd_rand random(1);
        std::size_t at = 0;
        while (at < bytes.size()) {
            const std::size_t chunk = std::min<std::size_t>(1 + random() % 999, bytes.size() - at);
            at += ring.Write(std::span<const char>(&bytes[at], chunk)); // the rest is tried again
        }
    });
    std::vector<std::int16_t> out(700);
    int expected = 0;
    int wrong = 0;
    while (expected < kSamples) {
        const std::size_t got = ring.Read(out);
        for (std::size_t i = 0; i < got; ++i) {
            wrong += out[i] != static_cast<std::int16_t>(expected++);
        }
        if (got == 0) {
            std::this_thread::yield();
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(ring.Read(out), 0u);
}

TEST(SampleRing, AFullRingDropsAndCountsTheNewestAndDiscardKeepsSamplesWhole) {
    SampleRing ring(64);
    std::vector<char> bytes(100, 1);
    EXPECT_EQ(ring.Write(bytes), 64u);
    EXPECT_EQ(ring.Dropped(), 36u);
    ring.Discard();
    std::vector<std::int16_t> out(64);
    EXPECT_EQ(ring.Read(out), 0u);

    // Half a sample waits for its other half.
    const std::int16_t value = -12345;
    char half[sizeof value];
    std::memcpy(half, &value, sizeof value);
    ring.Write(std::span<const char>(half, 1));
    ring.Discard();
    EXPECT_EQ(ring.Read(out), 0u);
    ring.Write(std::span<const char>(half + 1, 1));
    ASSERT_EQ(ring.Read(out), 1u);
    EXPECT_EQ(out[0], value);
}

} // namespace
