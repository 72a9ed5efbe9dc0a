#include "StrumMeasurement.h"
#include "Doreme.h"
#include "StrumSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <span>
#include <vector>

namespace {

// E2 A2 D3 G3 B3 E4
constexpr int kGuitar[] = {19, 24, 29, 34, 38, 43};
// A2 D3 E3 A3: the lowest string and the highest an octave apart
constexpr int kPipa[] = {24, 29, 31, 36};

struct Strum {
    std::vector<double> truth; // 0 for a silent string
    std::vector<std::vector<std::optional<double>>> blocks;
};

// Plucks the strings given a detune (in cents; NAN leaves a string silent), from the lowest
// up 20 ms apart, and measures every block of a 3.7 s sound. With bodyHz, the body resonates
// there too from the strum on, as loud as a string, dying away in a second. With splitCents,
// every string sounds a second line that far above, half as strong. With noise, the pluck's
// noise (RMS, full scale 1) dies away in 0.3 s over a room's hiss a fifth as loud.
Strum Play(const std::vector<double>& cents, std::uint32_t seed, double bodyHz = 0.0,
           double splitCents = 0.0, std::span<const int> tuning = kGuitar, double noise = 0.0) {
    CDoreme doreme;
    std::vector<double> notes;
    std::vector<SynthString> strings;
    Strum strum;
    for (std::size_t s = 0; s < cents.size(); ++s) {
        notes.push_back(doreme.Frequency(tuning[s]));
        strum.truth.push_back(std::isnan(cents[s]) ? 0.0
                                                   : notes.back() * std::exp2(cents[s] / 1200));
        if (strum.truth.back() > 0.0) {
            SynthString string;
            string.hz = strum.truth.back();
            string.start = 0.25 + 0.02 * static_cast<double>(s);
            string.amplitude = 0.08;
            string.pluck = 0.12 + 0.03 * static_cast<double>(s);
            strings.push_back(string);
            if (splitCents != 0.0) {
                string.hz *= std::exp2(splitCents / 1200);
                string.amplitude *= 0.5;
                strings.push_back(string);
            }
        }
    }
    std::vector<double> sound(10 * kBlockSamples);
    AddStrings(sound, strings, seed);
    for (std::size_t i = 0; bodyHz > 0.0 && i + 11025 < sound.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        sound[i + 11025] += 0.06 * std::exp(-t) * std::sin(2.0 * std::acos(-1.0) * bodyHz * t);
    }
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss;
    for (std::size_t i = 11025; noise > 0.0 && i < sound.size(); ++i) {
        const double t = static_cast<double>(i - 11025) / kSampleRate;
        sound[i] += noise * (std::exp(-t / 0.3) + 0.2) * gauss(random);
    }
    const auto samples = ToSamples(sound);
    StrumMeasurement measurement(notes);
    for (std::size_t at = 0; at < samples.size(); at += kBlockSamples) {
        strum.blocks.push_back(
            measurement.AppendBlock(std::span(samples).subspan(at, kBlockSamples)));
    }
    return strum;
}

// Every block from 1.5 s after the strum on: sounding strings read within 2 cents of their
// pitch, silent ones read nothing.
void ExpectSettled(const Strum& strum) {
    for (std::size_t b = 5; b < strum.blocks.size(); ++b) {
        for (std::size_t s = 0; s < strum.truth.size(); ++s) {
            const auto& reading = strum.blocks[b][s];
            if (strum.truth[s] == 0.0) {
                EXPECT_FALSE(reading) << "silent string " << s << " in block " << b;
            } else {
                ASSERT_TRUE(reading) << "string " << s << " in block " << b;
                EXPECT_NEAR(1200.0 * std::log2(*reading / strum.truth[s]), 0.0, 2.0)
                    << "string " << s << " in block " << b;
            }
        }
    }
}

TEST(StrumMeasurement, SixDetunedStringsEachReadTheirOwnPitch) {
    ExpectSettled(Play({-31.0, 0.0, 44.0, -12.0, 0.0, 23.0}, 1));
    ExpectSettled(Play({12.0, -47.0, 0.0, 8.0, -20.0, 0.0}, 2));
    // E4 in tune on E2's and A2's partials, in tune too: told by its strength.
    ExpectSettled(Play({0.0, 0.0, 43.0, 29.0, -20.0, 0.0}, 9));
    // A pipa's A2 is not pulled by its A3 beside its second partial.
    ExpectSettled(Play({-10.0, NAN, NAN, -1.0}, 13, 0.0, 0.0, kPipa));
    // Every line split, a weaker one 3 cents below: B3, on E2's partials, is not read on it.
    ExpectSettled(Play({0.0, 0.0, 0.0, -40.0, 0.0, 8.0}, 117, 0.0, -3.0));
}

TEST(StrumMeasurement, ALowStringAloneLightsNothingElse) {
    // Its third and fourth partials fall on B3 and E4, in tune or not.
    for (const double cents : {0.0, 35.0, -18.0}) {
        const Strum strum = Play({cents, NAN, NAN, NAN, NAN, NAN}, 3);
        ExpectSettled(strum);
        for (const auto& block : strum.blocks) {
            for (std::size_t s = 1; s < block.size(); ++s) {
                EXPECT_FALSE(block[s]) << "string " << s << " with E2 at " << cents;
            }
        }
    }
    ExpectSettled(Play({NAN, 5.0, NAN, NAN, NAN, NAN}, 4)); // A2's third partial is E4
    // A2's third partial, in E4's band, made strong by a resonance; its sixth stays weak.
    const double a2 = CDoreme().Frequency(kGuitar[1]) * std::exp2(-40.0 / 1200.0);
    const Strum strum = Play({NAN, -40.0, NAN, NAN, NAN, NAN}, 4, PartialHz({.hz = a2}, 3));
    ExpectSettled(strum);
    for (const auto& block : strum.blocks) {
        EXPECT_FALSE(block[5]);
    }
    // Every partial two lines 3 cents apart, as a recorded string's often is: once the attack
    // is past, the line beside a partial on a higher string's note is no string.
    for (const double cents : {0.0, -44.0, 20.0}) {
        ExpectSettled(Play({cents, NAN, NAN, NAN, NAN, NAN}, 11, 0.0, 3.0));
    }
    // A pipa's A2, an octave below its A3, its fourth partial (where A3's second would be) made
    // strong by the body: its second partial, on A3's note, still lights nothing.
    const double low = CDoreme().Frequency(kPipa[0]) * std::exp2(-20.0 / 1200.0);
    ExpectSettled(Play({-20.0, NAN, NAN, NAN}, 12, PartialHz({.hz = low}, 4), 0.0, kPipa));
}

TEST(StrumMeasurement, NoiseLightsNoString) {
    // Loud enough to make peaks at every string's note and its partials, block after block.
    for (const std::size_t lone : {0, 4}) {
        std::vector<double> cents(6, NAN);
        cents[lone] = -15.0;
        const Strum strum = Play(cents, 14, 0.0, 0.0, kGuitar, 0.04);
        ExpectSettled(strum);
        for (const auto& block : strum.blocks) {
            for (std::size_t s = 0; s < block.size(); ++s) {
                EXPECT_TRUE(s == lone || !block[s]) << "string " << s << " beside " << lone;
            }
        }
    }
}

TEST(StrumMeasurement, TheBodysResonanceLightsNoLowString) {
    // It rings near A2, and E4 lies on its third partial; its second partial is nowhere.
    const Strum strum = Play({NAN, NAN, NAN, 0.0, -10.0, 17.0}, 8, 111.0);
    ExpectSettled(strum);
    for (const auto& block : strum.blocks) {
        EXPECT_FALSE(block[1]);
    }
}

TEST(StrumMeasurement, ThreeOfSixLeaveTheOthersBlank) {
    ExpectSettled(Play({NAN, 14.0, -9.0, 30.0, NAN, NAN}, 5));
    ExpectSettled(Play({0.0, NAN, NAN, NAN, 0.0, 0.0}, 6)); // all on one partial series
}

TEST(StrumMeasurement, AStringStartsOnAPitchThatHoldsAndFollowsAPeg) {
    // A tone on E4's note, one pitch a block (cents), each block `louder` times the one before:
    // per block whether the string shows a reading.
    auto shown = [](const std::vector<double>& cents, double louder) {
        const double e4 = CDoreme().Frequency(kGuitar[5]);
        StrumMeasurement measurement({e4});
        std::vector<bool> shown;
        double phase = 0.0, amplitude = 0.002;
        for (const double c : cents) {
            std::vector<double> block(kBlockSamples);
            for (double& x : block) {
                x = amplitude * (std::sin(phase) + 0.5 * std::sin(2 * phase));
                phase += 2.0 * std::acos(-1.0) * e4 * std::exp2(c / 1200) / kSampleRate;
            }
            shown.push_back(measurement.AppendBlock(ToSamples(block))[0].has_value());
            amplitude *= louder;
        }
        return shown;
    };
    // Each block an attack read alone, 30 cents from the one before, as a lower string's partial
    // passing for a silent string's wanders: never shown. Held, then turned 10 cents a block as
    // a peg turns: shown from the second block on.
    EXPECT_EQ(shown({25, -5, 25, -5, 25, -5}, 2.5), std::vector<bool>(6, false));
    EXPECT_EQ(shown({0, 0, 10, 20, 30, 40}, 1.0), std::vector<bool>({0, 1, 1, 1, 1, 1}));
}

TEST(StrumMeasurement, StringsOnLowerStringsPartialsReadInTime) {
    // B3 two cents from E2's third partial, E4 three from A2's: too close to part in time, but
    // their higher partials are stretched otherwise than the lower strings'.
    const Strum strum = Play({-35.0, 0.0, 0.0, 0.0, -29.9, 0.0}, 7);
    // The strum starts 0.25 s in; the fourth block ends 1.49 s in.
    for (std::size_t s = 0; s < strum.truth.size(); ++s) {
        ASSERT_TRUE(strum.blocks[3][s]) << "string " << s;
        EXPECT_NEAR(1200.0 * std::log2(*strum.blocks[3][s] / strum.truth[s]), 0.0, 2.0)
            << "string " << s;
    }
    ExpectSettled(strum);
}

} // namespace
