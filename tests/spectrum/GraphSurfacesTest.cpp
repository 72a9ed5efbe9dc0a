#include "GraphSurfaces.h"

#include "Doreme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlue = qRgb(0, 0, 255);

class Surfaces : public ::testing::Test {
protected:
    const QImage& Draw(double magnitude = 0.0, std::vector<double> history = {}) {
        spectrum.assign(16384, magnitude);
        history.resize(20, 0.0);
        surfaces.DrawFrame(spectrum, history);
        return surfaces.Compose();
    }
    // Where in the box the pixels that pass lie, or an empty rectangle.
    static QRect Extent(const QImage& image, QRect box, const std::function<bool(QRgb)>& pass) {
        QRect found;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                if (pass(image.pixel(x, y))) {
                    found |= QRect(x, y, 1, 1);
                }
            }
        }
        return found;
    }

    CDoreme doreme;
    GraphSurfaces surfaces{doreme.Notes()};
    std::vector<double> spectrum;
};

TEST_F(Surfaces, GridLinesAndLabelsStandWhereTheyBelong) {
    const QImage& image = Draw();
    for (QPoint solid :
         {QPoint(50, 10), QPoint(50, 200), QPoint(1810, 370), QPoint(900, 10), QPoint(900, 370)}) {
        EXPECT_EQ(image.pixel(solid), kBlue) << solid.x() << "," << solid.y();
    }
    // A dotted line between: blue and white alternate along it.
    int blue = 0;
    for (int y = 20; y < 40; ++y) {
        blue += image.pixel(1010, y) == kBlue;
    }
    EXPECT_GT(blue, 5);
    EXPECT_LT(blue, 15);
    EXPECT_EQ(image.pixel(1000, 200), kWhite);

    // The top scale label sits right-aligned in its box, left of the plot.
    const auto dark = [](QRgb c) { return qGray(c) < 128; };
    const QRect label = Extent(image, QRect(0, 0, 50, 30), dark);
    EXPECT_TRUE(QRect(0, 6, 42, 16).contains(label)) << label.x() << "," << label.y();
    EXPECT_GE(label.right(), 36);

    // A4's numbered name is red and centred under its line.
    const QRect red = Extent(image, QRect(990, 378, 40, 16),
                             [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 80; });
    ASSERT_FALSE(red.isEmpty());
    EXPECT_NEAR(red.center().x(), 1010, 1.5);
}

TEST_F(Surfaces, OutlineRunsFromBaselineToBaselineAndStopsAtTheTopLine) {
    Draw();
    const auto silent = surfaces.Outline();
    EXPECT_EQ(silent[0], QPoint(50, 370));
    EXPECT_TRUE(std::all_of(silent.begin(), silent.end(), [](QPoint p) { return p.y() == 370; }));

    // Far above full scale: the top line, but the first and last vertices on the baseline.
    const QImage& image = Draw(1e9);
    const auto outline = surfaces.Outline();
    ASSERT_GT(outline.size(), 1000u);
    ASSERT_LE(outline.size(), 1812u);
    EXPECT_EQ(outline[1], QPoint(50, 10));
    EXPECT_EQ(outline[outline.size() - 2].y(), 10);
    EXPECT_EQ(outline.back().y(), 370);
    EXPECT_GE(outline.back().x(), 1800);
    EXPECT_LT(outline.back().x(), 1810);
    EXPECT_EQ(std::adjacent_find(outline.begin() + 1, outline.end(),
                                 [](QPoint a, QPoint b) { return b.x() <= a.x(); }),
              outline.end()); // one vertex per column, left to right
    EXPECT_TRUE(
        Extent(image, QRect(50, 0, 1761, 10), [](QRgb c) { return c != kWhite; }).isEmpty());
}

TEST_F(Surfaces, MarkersShadeFromOldestToNewest) {
    const auto marker = [](QRgb c) { return qRed(c) == 255 && qBlue(c) == 255 && qGreen(c) < 255; };
    EXPECT_TRUE(Extent(Draw(), QRect(0, 0, 1821, 421), marker).isEmpty()); // zero entries

    std::vector<double> history(20, 0.0);
    history.front() = history.back() = 440.0;
    const QImage& image = Draw(0.0, history);
    EXPECT_EQ(image.pixel(1009, 13), qRgb(255, 160, 255));
    EXPECT_EQ(image.pixel(1011, 10 + 9 * 19 + 3), qRgb(255, 8, 255));
    // Nothing else: 5 x 7 pixels each, the top one under the plot's top line.
    EXPECT_EQ(Extent(image, QRect(0, 0, 1821, 421), marker),
              QRect(QPoint(1008, 11), QPoint(1012, 187)));
}

} // namespace
