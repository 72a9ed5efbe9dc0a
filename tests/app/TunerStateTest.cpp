#include "WindowFixture.h"

#include "Commands.h"
#include "GraphView.h"
#include "InstrumentStrings.h"
#include "LevelIndicator.h"
#include "PitchMeter.h"
#include "SettingsStore.h"
#include "SignalHelpers.h"
#include "StrobeView.h"

#include <QSignalSpy>

#include <cmath>
#include <memory>

namespace {

using namespace std::chrono_literals;

// A second start of the program in the same settings folder: its own devices and window.
struct NextStart {
    NextStart() {
        frame.InitialUpdate();
        frame.show();
    }
    CTunerView& View() { return *frame.TunerView(); }
    // Feeds blocks and lets each one reach the read-out (through the worker in automatic mode).
    void Feed(SineBlocks& tone, int count) {
        CListeningSession& session = View().Session();
        for (int b = 0; b < count; ++b) {
            QSignalSpy heard(&session, &CListeningSession::LevelChanged);
            in->Feed(tone.Next());
            ProcessEventsUntil([&] { return heard.count() > 0; }, 2s);
            ProcessEventsUntil([&] { return !session.State().IsBusy(); }, 2s);
            QApplication::processEvents();
        }
    }

    CDoreme doreme;
    MemoryWaveIn* in = new MemoryWaveIn;
    CWaveEngine engine{doreme.Notes(), std::unique_ptr<IWaveIn>(in),
                       std::unique_ptr<IWaveOut>(new MemoryWaveOut)};
    CMainFrame frame{doreme, engine, std::unique_ptr<IWaveOut>(new MemoryWaveOut)};
};

TEST_F(WindowFixture, AFirstStartIsAsEverAndTheModeAndTargetComeBackAtTheNext) {
    EXPECT_FALSE(View().IsAutomatic());
    EXPECT_EQ(View().Note(), kNoteA4);
    EXPECT_FALSE(View().IsStrobeVisible());

    frame.OnCommand(ID_AUTO_TONE);
    frame.OnCommand(ID_VIEW_STROBE);
    frame.close();

    // Automatic mode again: a 330 Hz tone reads E4 with no key pressed.
    auto second = std::make_unique<NextStart>();
    EXPECT_TRUE(second->View().IsAutomatic());
    EXPECT_FALSE(second->View().IsPrecise());
    EXPECT_TRUE(second->View().IsStrobeVisible());
    EXPECT_TRUE(second->frame.Action(ID_VIEW_STROBE)->isChecked());
    SineBlocks e4(330.0, 9000.0);
    second->Feed(e4, 4);
    EXPECT_EQ(second->View().Note(), 43);
    EXPECT_EQ(second->View().findChild<QLabel*>("noteTarget")->text(), "E4");
    EXPECT_NEAR(CentsBetween(second->View().Readout().Smoothed(), 330.0), 0.0, 3.0);

    // A string picked in the tree, then precise automatic mode on and off: note-locked on the
    // string at the next start.
    CListeningSession& session = second->View().Session();
    session.SelectNote(19);
    second->frame.OnCommand(ID_PRECISE_AUTO);
    second->frame.close();
    second.reset();
    auto third = std::make_unique<NextStart>();
    EXPECT_FALSE(third->View().IsAutomatic());
    EXPECT_TRUE(third->View().IsPrecise());
    EXPECT_EQ(third->View().Note(), 19);
    third->frame.OnCommand(ID_AUTO_TONE);
    third->frame.close();
    third.reset();
    auto fourth = std::make_unique<NextStart>();
    EXPECT_TRUE(fourth->View().IsAutomatic());
    EXPECT_TRUE(fourth->View().IsPrecise());
    EXPECT_EQ(fourth->View().Note(), 19);

    // An instrument chosen in the tree: all its strings again at the next start.
    const int guitar = *FindInstrument("guitar");
    fourth->View().Session().SelectInstrument(guitar);
    fourth->frame.close();
    fourth.reset();
    NextStart fifth;
    EXPECT_TRUE(fifth.View().Session().IsInstrumentView());
    EXPECT_EQ(fifth.View().Session().Strings().Instrument(), guitar);
    EXPECT_FALSE(fifth.View().IsAutomatic());
}

TEST_F(WindowFixture, AStoredTargetThatMakesNoSenseIsAFirstStart) {
    QSettings store;
    store.setValue("User/Mode", 1);
    for (const auto& [kind, value] :
         {std::pair{7, 19}, {0, 88}, {0, -1}, {1, kInstrumentCount}, {0, 40}}) {
        store.setValue("User/TargetKind", kind); // 7: a kind of a later version
        store.setValue("User/Target", value);
        store.sync();
        EXPECT_EQ(CSettingsStore::ReadTunerTarget().has_value(), value == 40) << kind << value;
    }
}

TEST_F(WindowFixture, PickingAStringInTheTreeReadsItWithinTwoBlocksAndQuietShowsNothing) {
    CListeningSession& session = View().Session();
    auto feed = [&](SineBlocks& tone, int count) {
        for (int b = 0; b < count; ++b) {
            QSignalSpy heard(&session, &CListeningSession::LevelChanged);
            in->Feed(tone.Next());
            ProcessEventsUntil([&] { return heard.count() > 0; }, 2s);
            Pump();
        }
    };
    SineBlocks e2(doreme.Frequency(19), 9000.0);
    feed(e2, 3); // the A4 of the start hears it first
    EXPECT_EQ(Text("pitchText"), "too low");
    EXPECT_EQ(Text("lowText"), "L");

    Click(FindItem("6--(E2)", FindItem("Guitar")));
    ASSERT_EQ(View().Note(), 19);
    feed(e2, 2);
    EXPECT_NEAR(CentsBetween(View().Readout().Smoothed(), doreme.Frequency(19)), 0.0, 2.0);
    EXPECT_TRUE(Text("pitchText").endsWith("(0Cents)")) << Text("pitchText").toStdString();
    auto* meter = View().findChild<CPitchMeter*>("meter");
    auto* level = View().findChild<CLevelIndicator*>("inputLevel");
    EXPECT_TRUE(meter->isNeedleVisible());
    EXPECT_NEAR(level->Level(), 20.0 * std::log10(9000.0 / 32768.0), 0.1);

    SineBlocks hum(50.0, 20.0); // far below the sensitivity
    feed(hum, 2);
    EXPECT_EQ(Text("pitchText"), "");
    EXPECT_FALSE(meter->isNeedleVisible());
    EXPECT_LT(level->Level(), -60.0);
}

} // namespace

namespace {

// However small the user makes the window, the tuner pane stays whole: the meter, the strobe
// and the level bar keep their height, and the spectrum never lies over the pane.
TEST_F(WindowFixture, AWindowMadeTinyKeepsTheTunerPaneWhole) {
    frame.OnCommand(ID_VIEW_STROBE);
    frame.resize(300, 200);
    Pump();
    for (QWidget* part :
         std::initializer_list<QWidget*>{View().findChild<CPitchMeter*>("meter"), View().Strobe(),
                                         View().findChild<CLevelIndicator*>("inputLevel"),
                                         View().findChild<QLabel*>("noteTarget")}) {
        EXPECT_GE(part->height(), part->minimumSizeHint().height());
        EXPECT_TRUE(View().rect().contains(QRect(part->mapTo(&View(), QPoint()), part->size())));
    }
    EXPECT_FALSE(QRect(View().mapTo(&frame, QPoint()), View().size())
                     .intersects(QRect(frame.GraphView()->mapTo(&frame, QPoint()),
                                       frame.GraphView()->size())));
}

} // namespace
