#include "StrobePhase.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr int kFrame = 735; // one frame of a 60 Hz screen

// A tone whose partials 1..3 have the given amplitudes.
class Tone {
public:
    Tone(double hz, std::vector<double> partials) : m_hz(hz), m_partials(std::move(partials)) {}
    std::vector<std::int16_t> Next(int count) {
        std::vector<std::int16_t> out(count);
        for (auto& s : out) {
            double v = 0.0;
            for (std::size_t k = 0; k < m_partials.size(); ++k) {
                v += m_partials[k] *
                     std::sin(2.0 * std::numbers::pi * (k + 1) * m_hz * m_index / kRate);
            }
            s = static_cast<std::int16_t>(std::lround(v));
            ++m_index;
        }
        return out;
    }

private:
    double m_hz;
    std::vector<double> m_partials;
    long m_index = 0;
};

// Runs the strobe frame by frame for seconds and returns each row's travel in stripes (the
// unwrapped sum of its offset's steps), counted after a settling half second.
std::vector<double> Travel(StrobePhase& strobe, Tone& tone, double seconds) {
    std::vector<double> travel(StrobePhase::kRows, 0.0);
    std::vector<double> last(StrobePhase::kRows, 0.0);
    const int frames = static_cast<int>(seconds * kRate / kFrame);
    const int settle = static_cast<int>(0.5 * kRate / kFrame);
    for (int f = 0; f < settle + frames; ++f) {
        strobe.Process(tone.Next(kFrame));
        for (int k = 0; k < StrobePhase::kRows; ++k) {
            double step = strobe.Offset(k) - last[k];
            step -= std::round(step); // a frame moves far less than half a stripe
            last[k] = strobe.Offset(k);
            if (f >= settle) {
                travel[k] += step;
            }
        }
    }
    return travel;
}

TEST(StrobePhase, StripesMoveRightWhenSharpLeftWhenFlatAtTheBeatRateAndStandInTune) {
    const double a4 = 440.0;
    const double oneCent = a4 * std::pow(2.0, 1.0 / 1200.0);
    struct Case {
        double hz;
        double stripesPerSecond; // row 1: the beat of the fundamental
    } cases[] = {{441.0, 1.0}, {439.0, -1.0}, {oneCent, oneCent - a4}, {a4, 0.0}};
    for (const Case& c : cases) {
        StrobePhase strobe;
        strobe.SetTarget(a4);
        Tone tone(c.hz, {8000.0, 4000.0, 2000.0});
        const double seconds = 10.0;
        const auto travel = Travel(strobe, tone, seconds);
        for (int k = 0; k < StrobePhase::kRows; ++k) {
            // Row k has k + 1 times as many stripes, so it turns k + 1 times as fast.
            const double expected = c.stripesPerSecond * (k + 1) * seconds;
            // In tune: less than a twentieth of a stripe in 10 s.
            const double tolerance = std::max(std::abs(expected) * 0.05, 0.05);
            EXPECT_NEAR(travel[k], expected, tolerance) << c.hz << " row " << k;
            EXPECT_GT(strobe.Presence(k), 0.9) << c.hz << " row " << k;
        }
    }
    // At +1 cent the first row takes 3.9 s for one stripe.
    EXPECT_NEAR(1.0 / (oneCent - a4), 3.93, 0.01);
}

TEST(StrobePhase, AnAbsentPartialFadesAndNoTargetFadesEverything) {
    StrobePhase strobe;
    strobe.SetTarget(220.0);
    Tone noSecond(220.0, {8000.0, 0.0, 3000.0});
    strobe.Process(noSecond.Next(44100));
    EXPECT_GT(strobe.Presence(0), 0.9);
    EXPECT_LT(strobe.Presence(1), 0.05);
    EXPECT_GT(strobe.Presence(2), 0.5);

    // Eased, not cut: a twentieth of a second later the rows are still partly there.
    strobe.SetTarget(0.0);
    strobe.Process(noSecond.Next(2205));
    EXPECT_GT(strobe.Presence(0), 0.3);
    EXPECT_LT(strobe.Presence(0), 0.9);
    strobe.Process(noSecond.Next(44100));
    EXPECT_LT(strobe.Presence(0), 0.01);
}

} // namespace
