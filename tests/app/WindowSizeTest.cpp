#include "GraphView.h"
#include "WindowFixture.h"

#include <QScrollBar>
#include <QWindow>

namespace {

bool Covers(const QSize& size, const QSize& needed) {
    return size.width() >= needed.width() && size.height() >= needed.height();
}

} // namespace

// The window system may hand the window any size (no window manager keeps to the hints): the
// window grows back until the tuner pane, its meter and the strobe band are whole again.
TEST_F(WindowFixture, TheWindowGrowsBackToKeepTheTunerPaneWhole) {
    for (const bool strobe : {false, true}) {
        View().SetStrobeVisible(strobe);
        frame.windowHandle()->resize(300, 200);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Covers(frame.size(), frame.minimumSizeHint()); }))
            << strobe << " " << frame.width() << "x" << frame.height();
        Pump();
        // The parts' own heights within the pane: AWindowMadeTinyKeepsTheTunerPaneWhole.
        EXPECT_TRUE(Covers(View().size(), View().minimumSizeHint())) << strobe;
        EXPECT_EQ(View().findChild<QWidget*>("strobe")->isVisible(), strobe);
    }
}

// A taller pane stretches the plot; the labels stay at the bottom and are still played from.
TEST_F(WindowFixture, TheSpectrumTakesTheAddedHeight) {
    CGraphView& graph = *frame.GraphView();
    frame.resize(1200, 1000);
    Pump();
    const int height = graph.viewport()->height();
    ASSERT_GT(height, GraphScale::kHeight + 300);
    EXPECT_EQ(graph.Canvas()->height(), height);
    EXPECT_FALSE(graph.verticalScrollBar()->isVisible());
    graph.Canvas()->repaint();
    const GraphSurfaces& surfaces = graph.Surfaces();
    ASSERT_EQ(surfaces.Compose().height(), height);
    const int baseline = height - GraphScale::kBelowBaseline;
    EXPECT_EQ(surfaces.Baseline(), baseline);
    // The bottom grid line moved down with the baseline, the top one stayed.
    const int x = GraphScale::kLeft + 5;
    EXPECT_EQ(surfaces.Background().pixel(x, baseline), qRgb(0, 0, 255));
    EXPECT_EQ(surfaces.Background().pixel(x, GraphScale::kBaseline), qRgb(255, 255, 255));
    EXPECT_EQ(surfaces.Background().pixel(x, GraphScale::kTop), qRgb(0, 0, 255));
    // Half of full scale reaches half way up the taller plot.
    EXPECT_NEAR(GraphScale::MagnitudeToY(0.05 * 32768, GraphScale::kDefaultRatio, baseline),
                (baseline + GraphScale::kTop) / 2, 1);
    EXPECT_TRUE(graph.IsOverNote(QPoint(GraphScale::NoteX(48), baseline + 20)));
    EXPECT_FALSE(graph.IsOverNote(QPoint(GraphScale::NoteX(48), GraphScale::kBaseline + 20)));

    // Made small again, the canvas keeps the height its labels need and scrolls.
    frame.resize(frame.minimumSizeHint());
    Pump();
    EXPECT_EQ(graph.Canvas()->height(), GraphScale::kHeight);
    EXPECT_EQ(surfaces.Baseline(), GraphScale::kBaseline);
}
