#include "GraphSurfaces.h"

#include "Doreme.h"

#include <QFontInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
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

    // The top scale label sits right-aligned left of the plot, its middle on the top line.
    const auto dark = [](QRgb c) { return qGray(c) < 128; };
    const QRect label = Extent(image, QRect(0, 0, 50, 30), dark);
    EXPECT_NEAR(label.right(), surfaces.Labels().ScaleRight(), 2);
    EXPECT_NEAR(label.center().y(), 10, 1);

    // A4's numbered name is red and centred under its line.
    const int top = surfaces.Labels().RowTop(GraphLabels::kNumbered);
    const QRect red = Extent(image, QRect(990, top, 40, 16),
                             [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 80; });
    ASSERT_FALSE(red.isEmpty());
    EXPECT_NEAR(red.center().x(), 1010, 1.5);
}

// Whole and apart, in the Chinese UI font (its line is half again as high as its size) as in
// the default one, at both ends of the zoom: every pixel below the plot lies in its row, names
// stand at least three pixels apart, the top scale label is whole.
TEST_F(Surfaces, LabelsStayWholeInTheirRowsInAnyFont) {
    const QFont original = QGuiApplication::font();
    const auto inked = [](const QImage& image, QRect box) {
        return Extent(image, box, [](QRgb c) { return c != kWhite; }).width();
    };
    for (const QString& family :
         {QFontInfo(original).family(), QStringLiteral("Noto Sans CJK SC")}) {
        QGuiApplication::setFont(QFont(family));
        ASSERT_EQ(QFontInfo(QFont()).family().toStdString(), family.toStdString());
        GraphSurfaces local(doreme.Notes());
        const GraphLabels& labels = local.Labels();
        for (int ratio : {0, 6}) {
            local.SetVerticalRatio(ratio);
            local.DrawFrame(std::vector<double>(16384, 0.0), std::vector<double>(20, 0.0));
            const QImage& image = local.Background();
            int y = labels.ScaleBottom(GraphScale::kGridRows) + 1; // below the lowest scale label
            const int expected[] = {88, 52, 36};                   // labels per row
            for (auto row :
                 {GraphLabels::kNumbered, GraphLabels::kNaturals, GraphLabels::kSharps}) {
                EXPECT_EQ(inked(image, QRect(0, y, 1821, labels.RowTop(row) - y)), 0) << row;
                y = labels.RowBottom(row) + 1;
                int names = 0;
                for (int x = 0, blank = 3; x < image.width(); ++x) {
                    const bool ink =
                        inked(image, QRect(x, labels.RowTop(row), 1, y - labels.RowTop(row)));
                    names += ink && blank >= 3;
                    blank = ink ? 0 : blank + 1;
                }
                EXPECT_EQ(names, expected[row]) << family.toStdString() << " row " << row;
            }
            EXPECT_EQ(inked(image, QRect(0, y, 1821, image.height() - y)), 0);

            // "100.0%" (or "  1.0%") whole: clear of the canvas's left edge, nothing above it.
            const QRect top = Extent(image, QRect(0, 0, 50, labels.ScaleBottom(0) + 1),
                                     [](QRgb c) { return c != kWhite; });
            EXPECT_GT(top.left(), 0);
            EXPECT_GE(top.top(), labels.ScaleTop(0));
        }
    }
    QGuiApplication::setFont(original);
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

// Each frame puts the background back only where the last one drew; what it leaves is the
// same as a frame composed on fresh surfaces. Jagged spectra, steep lines, markers on the plot
// and over the scale's labels.
TEST_F(Surfaces, AFrameOverEarlierOnesEqualsOneComposedAfresh) {
    std::mt19937 random(19);
    std::vector<double> history(20);
    for (int frame = 0; frame < 4; ++frame) {
        spectrum.assign(16384, 0.0);
        for (double& m : spectrum) {
            m = std::uniform_real_distribution<double>(0.0, 3000.0 * (frame + 1))(random);
        }
        for (double& f : history) {
            f = std::uniform_real_distribution<double>(0.0, 4500.0)(random);
        }
        history[frame] = 25.0; // left of the plot, over "100.0%"
        surfaces.DrawFrame(spectrum, history);
    }
    GraphSurfaces fresh(doreme.Notes());
    fresh.DrawFrame(spectrum, history);
    EXPECT_TRUE(surfaces.Compose() == fresh.Compose());
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
