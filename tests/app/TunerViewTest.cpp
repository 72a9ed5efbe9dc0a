#include "WindowFixture.h"

#include "SignalHelpers.h"
#include "TunerMessages.h"

#include "PitchMeter.h"
#include "QuavelorinApp.h"

#include <QPushButton>
#include <QTimer>

namespace {

using namespace std::chrono_literals;

TEST_F(WindowFixture, StartsOnA4WithEmptyReadouts) {
    EXPECT_EQ(frame.windowTitle(), "Quavelorin");
    EXPECT_EQ(View().Note(), 48);
    EXPECT_FALSE(View().IsAutomatic());
    EXPECT_EQ(Text("pitchText"), "");
    EXPECT_EQ(Text("noteBelow"), "#G/bA4");
    EXPECT_EQ(Text("frequencyBelow"), "415.30Hz");
    EXPECT_EQ(Text("noteTarget"), "A4");
    EXPECT_EQ(Text("frequencyTarget"), "440.00Hz");
    EXPECT_EQ(Text("noteAbove"), "#A/bB4");
    EXPECT_EQ(Text("frequencyAbove"), "466.16Hz");
    auto* meter = View().findChild<CPitchMeter*>("meter");
    EXPECT_EQ(meter->minimum(), -100);
    EXPECT_EQ(meter->maximum(), 100);
    EXPECT_EQ(meter->tickInterval(), 10);
    EXPECT_EQ(meter->value(), 0);
    EXPECT_TRUE(engine.IsCaptureOpen());
}

TEST_F(WindowFixture, ReadoutIsLegibleFromAMusicStand) {
    const double usual = QApplication::font().pointSizeF();
    for (const char* name : {"pitchText", "noteTarget"}) {
        EXPECT_GE(View().findChild<QLabel*>(name)->font().pointSizeF(), 2 * usual) << name;
    }
    // A long read-out still fits the pane at the window's starting width.
    frame.resize(CQuavelorinApp::kStartWidth, CQuavelorinApp::kStartHeight);
    Pump();
    const QLabel* pitch = View().findChild<QLabel*>("pitchText");
    EXPECT_LE(pitch->fontMetrics().horizontalAdvance("4186.01Hz (-1234Cents)"), pitch->width());
    auto* meter = View().findChild<CPitchMeter*>("meter");
    EXPECT_EQ(meter->focusPolicy(), Qt::NoFocus);
    // The centre stands in the middle, the ends at the edges, and a wild value at its end.
    EXPECT_NEAR(meter->XOf(0), meter->width() / 2.0, 1.0);
    EXPECT_LT(meter->XOf(-100), meter->XOf(-90));
    meter->setValue(250);
    EXPECT_EQ(meter->value(), 100);
}

TEST_F(WindowFixture, HalfTonesStopAtTheEndsOfTheTable) {
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(&frame, Qt::Key_F1);
    }
    EXPECT_EQ(View().Note(), 0);
    EXPECT_EQ(Text("noteBelow"), "#G0");
    EXPECT_EQ(Text("frequencyBelow"), "25.96Hz");
    EXPECT_EQ(Text("noteTarget"), "A0");
    for (int i = 0; i < 100; ++i) {
        QTest::keyClick(&frame, Qt::Key_F2);
    }
    EXPECT_EQ(View().Note(), 87);
    EXPECT_EQ(Text("noteAbove"), "#C8");
    EXPECT_EQ(Text("frequencyAbove"), "4434.92Hz");
    EXPECT_EQ(engine.SynthesisNote(), 87);
}

TEST_F(WindowFixture, FunctionKeysReachTheTunerWhereverTheFocusIs) {
    Tree().setFocus();
    ASSERT_TRUE(Tree().hasFocus());
    QTest::keyClick(&Tree(), Qt::Key_F2);
    EXPECT_EQ(View().Note(), 49);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    EXPECT_EQ(View().Note(), 48);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    EXPECT_TRUE(View().IsAutomatic());
    EXPECT_TRUE(frame.Action(32789)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
    EXPECT_FALSE(View().IsAutomatic());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    EXPECT_TRUE(engine.IsOutputOpen());
    EXPECT_TRUE(frame.Action(32776)->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    EXPECT_FALSE(engine.IsOutputOpen());

    int metronomes = 0;
    View().SetMetronomeDialog([&] { ++metronomes; });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    EXPECT_EQ(metronomes, 1);
}

TEST_F(WindowFixture, MetronomeSilencesTheOutputBeforeAndAfterItsDialog) {
    View().OnStandardTone();
    bool opened = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(View().m_bInMetronome);
        EXPECT_FALSE(engine.IsOutputOpen()); // the tone stopped
        QTest::mouseClick(dialog->findChild<QPushButton*>("start"), Qt::LeftButton);
        opened = engine.IsOutputOpen(); // the click track
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F8);
    EXPECT_TRUE(opened);
    EXPECT_FALSE(View().m_bInMetronome);
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_FALSE(frame.Action(32776)->isChecked());
}

TEST_F(WindowFixture, ReferenceToneOnlyInNoteLockedModeAndStoppedByAutomatic) {
    View().OnAutoTone();
    View().OnStandardTone();
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_FALSE(View().IsToneOn());

    View().OnAutoTone();
    View().OnHalfToneDown();
    View().OnStandardTone();
    EXPECT_TRUE(engine.IsOutputOpen());
    EXPECT_TRUE(engine.IsSynthesis());
    EXPECT_EQ(engine.SynthesisNote(), 47);
    View().OnHalfToneDown(); // the tone follows the target
    EXPECT_EQ(engine.SynthesisNote(), 46);

    View().OnAutoTone();
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_FALSE(View().IsToneOn());
    EXPECT_FALSE(frame.Action(32776)->isChecked());
}

TEST_F(WindowFixture, ResultsMoveTheReadoutAndTheTarget) {
    View().OnAutoTone();
    CListeningSession& session = View().Session();
    QApplication::postEvent(&session, new PitchResultEvent(454.0, session.Choice()));
    Pump();
    EXPECT_EQ(View().Note(), 49); // 54 cents above A4: #A4
    EXPECT_EQ(Text("noteTarget"), "#A/bB4");
    EXPECT_EQ(engine.SynthesisNote(), 49);
    EXPECT_EQ(Text("pitchText"), "444.67Hz (-81Cents)");
    EXPECT_EQ(View().findChild<CPitchMeter*>("meter")->value(), -81);

    // Note-locked results, from a tone far below it, are shown against the chosen target,
    // which stays.
    View().OnHalfToneDown();
    SineBlocks low(380.0, 9000.0);
    for (int b = 0; b < 6; ++b) {
        in->Feed(low.Next());
        Pump();
    }
    EXPECT_EQ(View().Note(), 48);
    EXPECT_EQ(Text("lowText"), "L");
    EXPECT_EQ(View().findChild<CPitchMeter*>("meter")->value(), -100);
    // Nothing heard (the input lost): the read-outs go empty.
    in->Break();
    ProcessEventsUntil([&] { return Text("pitchText").isEmpty(); }, 1s);
    EXPECT_EQ(Text("pitchText"), "");
    EXPECT_EQ(Text("lowText"), "");
}

TEST_F(WindowFixture, TheToneCheckMarkFollowsWhateverStopsTheTone) {
    View().OnStandardTone();
    ASSERT_TRUE(frame.Action(32776)->isChecked());
    engine.StopOutput(); // as the spectrum pane or the metronome does
    EXPECT_FALSE(frame.Action(32776)->isChecked());
    View().OnStandardTone();
    out->Break(); // the output device fails
    ProcessEventsUntil([&] { return !frame.Action(32776)->isChecked(); }, 1s);
    EXPECT_FALSE(frame.Action(32776)->isChecked());
    EXPECT_FALSE(View().IsToneOn());
}

TEST_F(WindowFixture, ClosingTheWindowStopsListening) {
    View().OnStandardTone();
    ASSERT_TRUE(engine.IsOutputOpen());
    frame.close();
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_FALSE(engine.IsOutputOpen());
}

} // namespace
