#include "WindowFixture.h"

#include "Commands.h"
#include "GraphView.h"
#include "SettingsStore.h"
#include "SignalHelpers.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>

#include <functional>

namespace {

using namespace std::chrono_literals;

class GraphPane : public WindowFixture {
protected:
    CGraphView& Graph() { return *frame.GraphView(); }
    static int Stored(const char* name) { return CSettingsStore::ReadInt("Setting", name, -1); }
    void Press(QPoint at) { QTest::mousePress(Graph().Canvas(), Qt::LeftButton, {}, at); }
    void Release(QPoint at) { QTest::mouseRelease(Graph().Canvas(), Qt::LeftButton, {}, at); }
};

TEST_F(GraphPane, SitsRightOfTheTunerAndShowsTheKeyboardsMiddle) {
    auto* splitter = frame.findChild<QSplitter*>("paneSplitter");
    ASSERT_EQ(splitter->count(), 2);
    EXPECT_EQ(splitter->widget(1), &Graph());
    EXPECT_EQ(splitter->sizes()[0], 380);
    frame.resize(frame.width() + 200, frame.height());
    Pump();
    EXPECT_EQ(splitter->sizes()[0], 380); // the spectrum takes the extra width

    // The first showing scrolled to 7/16 of what does not fit.
    CGraphView late(doreme.Notes(), engine, std::make_unique<MemoryWaveOut>());
    late.resize(600, 460);
    late.OnInitialUpdate();
    late.show();
    const int excess = 1821 - late.viewport()->width();
    EXPECT_EQ(late.horizontalScrollBar()->value(), 7 * (excess / 16));
}

TEST_F(GraphPane, ZoomStopsAtItsEndsAndIsStoredAtOnce) {
    Tree().setFocus(); // the tuner pane has the focus; the commands still reach the spectrum
    EXPECT_EQ(Graph().VerticalRatio(), 3);
    for (int i = 0; i < 4; ++i) {
        frame.OnCommand(ID_ZOOM_IN);
    }
    EXPECT_EQ(Graph().VerticalRatio(), 6);
    EXPECT_EQ(Stored("VerticalRatioKey"), 6);
    EXPECT_FALSE(frame.Action(ID_ZOOM_IN)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_ZOOM_OUT)->isEnabled());
    for (int i = 0; i < 7; ++i) {
        frame.OnCommand(ID_ZOOM_OUT);
    }
    EXPECT_EQ(Graph().VerticalRatio(), 0);
    EXPECT_EQ(Stored("VerticalRatioKey"), 0);
    EXPECT_TRUE(frame.Action(ID_ZOOM_IN)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_ZOOM_OUT)->isEnabled());
}

TEST_F(GraphPane, StoredKeyAndZoomAreLimitedAndTheMenuChecksTheKey) {
    Graph().KeyMenu()->actions()[2]->trigger();
    EXPECT_EQ(Graph().Key(), 2);
    EXPECT_EQ(Stored("Key"), 2);
    EXPECT_TRUE(Graph().KeyMenu()->actions()[2]->isChecked());
    EXPECT_FALSE(Graph().KeyMenu()->actions()[0]->isChecked());

    // A right click opens the key menu.
    const QPoint inside(10, 10);
    QContextMenuEvent click(QContextMenuEvent::Mouse, inside,
                            Graph().Canvas()->mapToGlobal(inside));
    QApplication::sendEvent(Graph().Canvas(), &click);
    EXPECT_TRUE(Graph().KeyMenu()->isVisible());
    Graph().KeyMenu()->hide();

    const std::pair<int, int> stored[] = {{40, 9}, {-3, -1}};
    const std::pair<int, int> read[] = {{12, 6}, {0, 0}};
    for (int i = 0; i < 2; ++i) {
        CSettingsStore::WriteInt("Setting", "Key", stored[i].first);
        CSettingsStore::WriteInt("Setting", "VerticalRatioKey", stored[i].second);
        CDoreme other;
        CWaveEngine quiet{other.Notes(), std::make_unique<MemoryWaveIn>(),
                          std::make_unique<MemoryWaveOut>()};
        CMainFrame second{other, quiet, std::make_unique<MemoryWaveOut>()};
        second.InitialUpdate();
        CGraphView& view = *second.GraphView();
        EXPECT_EQ(view.Key(), read[i].first);
        EXPECT_EQ(view.VerticalRatio(), read[i].second);
        EXPECT_EQ(second.Action(ID_ZOOM_IN)->isEnabled(), read[i].second < 6);
        EXPECT_EQ(second.Action(ID_ZOOM_OUT)->isEnabled(), read[i].second > 0);
        const auto items = view.KeyMenu()->actions();
        EXPECT_EQ(
            std::count_if(items.begin(), items.end(), [](QAction* a) { return a->isChecked(); }),
            read[i].first == 12 ? 0 : 1);
    }
}

TEST_F(GraphPane, HoldingANoteLabelPlaysItsProbeToneInsteadOfTheTunersTone) {
    frame.OnCommand(ID_STANDARD_TONE);
    ASSERT_TRUE(engine.IsOutputOpen());
    const QPoint e4(GraphScale::NoteX(43) + 7, 395);
    Graph().ensureVisible(e4.x(), e4.y()); // the pointer reaches what is in view

    QTest::mouseMove(Graph().Canvas(), e4);
    EXPECT_EQ(Graph().Canvas()->cursor().shape(), Qt::PointingHandCursor);
    Press(e4);
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_TRUE(Graph().Probe().IsPlaying());
    EXPECT_EQ(Graph().Probe().Note(), 43);
    EXPECT_EQ(probe->QueuedBuffers(), 2);
    probe->PlayBuffers(1); // the pane refills on the device's notification
    ASSERT_TRUE(ProcessEventsUntil([&] { return probe->QueuedBuffers() == 2; }, 1000ms));
    Release(e4);
    EXPECT_FALSE(Graph().Probe().IsPlaying());
    probe->PlayBuffers(1); // the fade
    EXPECT_TRUE(ProcessEventsUntil([&] { return !probe->IsOpen(); }, 1000ms));
    // A device that stops by itself is closed, and opened anew by the next press.
    Press(e4);
    Release(e4);
    probe->Break();
    EXPECT_TRUE(ProcessEventsUntil([&] { return !probe->IsOpen(); }, 1000ms));
    Press(e4);
    EXPECT_TRUE(probe->IsOpen() && !probe->IsBroken());
    Release(e4);

    // Eight pixels off the line, or above the label rows: nothing sounds.
    for (QPoint miss : {e4 + QPoint(1, 0), QPoint(e4.x(), 300)}) {
        QTest::mouseMove(Graph().Canvas(), miss);
        EXPECT_NE(Graph().Canvas()->cursor().shape(), Qt::PointingHandCursor);
        Press(miss);
        EXPECT_FALSE(Graph().Probe().IsPlaying());
        Release(miss);
    }
}

TEST_F(GraphPane, TheProbeStopsOnceThePaneCanNoLongerKnowTheButtonIsHeld) {
    const QPoint a4(GraphScale::NoteX(kNoteA4), 400);
    Graph().ensureVisible(a4.x(), a4.y());
    QWidget other; // shown already: only its activation matters
    other.show();
    const auto activate = [&](QWidget& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    };
    Graph().setFocusPolicy(Qt::NoFocus); // so no change of focus stands in for the others
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"release off the labels", [&] { Release(QPoint(a4.x(), 100)); }},
        {"release where a popup took the mouse",
         [&] { QTest::mouseRelease(&Tree(), Qt::LeftButton); }},
        {"key menu",
         [&] {
             QContextMenuEvent click(QContextMenuEvent::Mouse, a4,
                                     Graph().Canvas()->mapToGlobal(a4));
             QApplication::sendEvent(Graph().Canvas(), &click);
             Graph().KeyMenu()->hide();
         }},
        {"dialog",
         [&] {
             QTimer::singleShot(0, [&] {
                 EXPECT_FALSE(Graph().Probe().IsPlaying());
                 QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
             });
             frame.OnCommand(ID_METRONOM);
         }},
        {"hidden", [&] { Graph().hide(); }},
        {"window no longer active", [&] { EXPECT_TRUE(activate(other)); }},
    };
    for (const auto& [way, act] : ways) {
        ASSERT_TRUE(activate(frame));
        if (QApplication::focusWidget()) {
            QApplication::focusWidget()->clearFocus();
        }
        Press(a4);
        ASSERT_TRUE(Graph().Probe().IsPlaying()) << way;
        act();
        EXPECT_FALSE(Graph().Probe().IsPlaying()) << way;
        Graph().show();
    }
    // The focus moving within the window, as it may with the press itself, is no such way.
    Press(a4);
    Tree().setFocus();
    EXPECT_TRUE(Graph().Probe().IsPlaying());
}

TEST_F(GraphPane, APaintComposesOnlyForANewSpectrumKeyOrZoom) {
    const GraphSurfaces& surfaces = Graph().Surfaces();
    QWidget& canvas = *Graph().Canvas();
    canvas.repaint();
    const long composed = surfaces.Compositions();
    canvas.repaint(QRect(900, 100, 50, 50));
    Graph().horizontalScrollBar()->setValue(Graph().horizontalScrollBar()->value() + 40);
    canvas.repaint();
    EXPECT_EQ(surfaces.Compositions(), composed);

    frame.OnCommand(ID_ZOOM_IN);
    EXPECT_TRUE(ProcessEventsUntil([&] { return surfaces.Compositions() == composed + 1; }, 1s));
    in->Feed(SineBlocks(440.0, 9000.0).Next());
    EXPECT_TRUE(ProcessEventsUntil([&] { return surfaces.Compositions() == composed + 2; }, 5s));
    canvas.repaint();
    EXPECT_EQ(surfaces.Compositions(), composed + 2);
}

} // namespace
