#include "GraphSurfaces.h"

#include "Doreme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(0, 0, 255);

class Surfaces : public ::testing::Test {
protected:
    // Draws one frame with the given bins set (all others silent) and the pitch history.
    const QImage& Draw(std::vector<std::pair<int, double>> bins = {},
                       std::vector<double> history = std::vector<double>(20, 0.0)) {
        spectrum.assign(16384, 0.0);
        for (const auto& [bin, magnitude] : bins) {
            spectrum[static_cast<std::size_t>(bin)] = magnitude;
        }
        surfaces.DrawFrame(spectrum, history);
        return surfaces.Compose();
    }
    static bool IsDark(QRgb c) { return qGray(c) < 128; }

    CDoreme doreme;
    GraphSurfaces surfaces{doreme.Notes()};
    std::vector<double> spectrum;
};

TEST_F(Surfaces, GridLinesAndLabelsStandWhereTheyBelong) {
    const QImage& image = Draw();
    for (int x : {50, 1810}) {
        EXPECT_EQ(image.pixel(x, 10), kBlue);
        EXPECT_EQ(image.pixel(x, 200), kBlue);
        EXPECT_EQ(image.pixel(x, 370), kBlue);
    }
    EXPECT_EQ(image.pixel(900, 10), kBlue);
    EXPECT_EQ(image.pixel(900, 370), kBlue);
    // Dotted lines between: blue and white alternate along them.
    int blue = 0;
    for (int y = 20; y < 40; ++y) {
        blue += image.pixel(1010, y) == kBlue;
    }
    EXPECT_GT(blue, 5);
    EXPECT_LT(blue, 15);
    EXPECT_EQ(image.pixel(1000, 200), kWhite);

    // The top scale label ("10.0%" at the default step) sits right-aligned in its box.
    int right = -1;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) {
            if (IsDark(image.pixel(x, y))) {
                EXPECT_TRUE(y >= 6 && y < 22 && x < 42) << x << "," << y;
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GE(right, 36);

    // A4's numbered name is red, centred under its line; its note name below is dark.
    std::vector<int> red;
    for (int y = 378; y < 394; ++y) {
        for (int x = 990; x < 1030; ++x) {
            if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80) {
                red.push_back(x);
            }
        }
    }
    ASSERT_FALSE(red.empty());
    const auto [lo, hi] = std::minmax_element(red.begin(), red.end());
    EXPECT_NEAR((*lo + *hi) / 2.0, 1010.0, 1.5);
    int dark = 0;
    for (int y = 398; y < 411; ++y) {
        for (int x = 1004; x <= 1016; ++x) {
            dark += IsDark(image.pixel(x, y));
        }
    }
    EXPECT_GT(dark, 10);
}

TEST_F(Surfaces, OutlineRunsFromBaselineToBaseline) {
    Draw();
    const auto silent = surfaces.Outline();
    EXPECT_EQ(silent[0], QPoint(50, 370));
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](QPoint p) { return p.y() == 370; }));

    // Everything at full scale: the top line, but the first and last vertices on the baseline.
    std::vector<std::pair<int, double>> loud;
    for (int b = 0; b < 16384; ++b) {
        loud.emplace_back(b, 32768.0);
    }
    Draw(loud);
    const auto outline = surfaces.Outline();
    ASSERT_GT(outline.size(), 1000u);
    ASSERT_LE(outline.size(), 1812u);
    EXPECT_EQ(outline[1], QPoint(50, 10));
    EXPECT_EQ(outline.back().y(), 370);
    EXPECT_LT(outline.back().x(), 1810);
    EXPECT_GE(outline.back().x(), 1800);
    EXPECT_TRUE(std::adjacent_find(outline.begin() + 1, outline.end(), [](QPoint a, QPoint b) {
                    return b.x() <= a.x();
                }) == outline.end());
}

TEST_F(Surfaces, AMagnitudeAboveFullScaleStopsAtTheTopLine) {
    const QImage& image = Draw({{327, 1e9}}); // 440.1 Hz
    const auto outline = surfaces.Outline();
    const auto peak = std::min_element(outline.begin(), outline.end(),
                                       [](QPoint a, QPoint b) { return a.y() < b.y(); });
    EXPECT_EQ(*peak, QPoint(1010, 10));
    for (int y = 0; y < 10; ++y) {
        for (int x = 50; x <= 1810; ++x) {
            ASSERT_EQ(image.pixel(x, y), kWhite) << x << "," << y;
        }
    }
}

TEST_F(Surfaces, MarkersShadeFromOldestToNewest) {
    std::vector<double> history(20, 0.0);
    const QImage& empty = Draw({}, history);
    const auto isMarker = [](QRgb c) {
        return qRed(c) == 255 && qBlue(c) == 255 && qGreen(c) < 255;
    };
    for (int y = 0; y < 421; ++y) {
        for (int x = 0; x < 1821; ++x) {
            ASSERT_FALSE(isMarker(empty.pixel(x, y))); // zero entries show nothing
        }
    }
    history.front() = 440.0;
    history.back() = 440.0;
    const QImage& image = Draw({}, history);
    EXPECT_EQ(image.pixel(1009, 13), qRgb(255, 160, 255));
    EXPECT_EQ(image.pixel(1011, 10 + 9 * 19 + 3), qRgb(255, 8, 255));
    EXPECT_EQ(image.pixel(1013, 13), kWhite);
}

TEST_F(Surfaces, ZoomStopsAtBothEnds) {
    surfaces.SetVerticalRatio(9);
    EXPECT_EQ(surfaces.VerticalRatio(), 6);
    EXPECT_FALSE(surfaces.CanZoomIn());
    EXPECT_FALSE(surfaces.ZoomIn());
    EXPECT_EQ(surfaces.VerticalRatio(), 6);
    surfaces.SetVerticalRatio(0);
    EXPECT_FALSE(surfaces.ZoomOut());
    EXPECT_TRUE(surfaces.ZoomIn());
    EXPECT_EQ(surfaces.VerticalRatio(), 1);
    EXPECT_TRUE(surfaces.IsBackgroundDirty());
    Draw();
    EXPECT_FALSE(surfaces.IsBackgroundDirty());
}

} // namespace
