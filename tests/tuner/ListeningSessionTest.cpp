#include "ListeningSession.h"
#include "AudioTestSupport.h"
#include "Doreme.h"
#include "EngineOnMemory.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"
#include "SignalHelpers.h"
#include "TunerMessages.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

std::vector<std::int16_t> Block(std::int16_t value) {
    return std::vector<std::int16_t>(kBlockSamples, value);
}

// A session on in-memory devices, as the tuner pane holds it.
struct SessionFixture : EngineOnMemory {
    CListeningSession session{doreme, engine};
    QSignalSpy readouts{&session, &CListeningSession::ReadoutChanged};

    // Feeds blocks one at a time and lets each one's read-out arrive, as a live card would.
    void FeedBlocks(SineBlocks& source, int count) {
        for (int b = 0; b < count; ++b) {
            const auto before = readouts.count();
            in->Feed(source.Next());
            ProcessEventsUntil([&] { return readouts.count() > before; }, 2s);
        }
    }
    double ShownCents(double reference) {
        return CentsBetween(session.Readout().Smoothed(), reference);
    }
};

TEST_F(SessionFixture, AutomaticModeFollowsACleanToneThroughTheWorker) {
    session.SetAutomatic(true);
    session.Start();
    ASSERT_TRUE(engine.IsCaptureOpen());
    SineBlocks b3(doreme.Frequency(50), 9000.0);
    FeedBlocks(b3, 16);
    EXPECT_EQ(session.Note(), 50); // the target moved to the tone
    EXPECT_NEAR(ShownCents(doreme.Frequency(50)), 0.0, 3.0);
    EXPECT_EQ(engine.SynthesisNote(), 50); // the tone asks the session
    session.Stop();
}

TEST_F(SessionFixture, NoteSelectedMeasuresWithoutTheWorker) {
    session.SelectNote(45);
    session.Start();
    SineBlocks tone(doreme.Frequency(45) * std::pow(2.0, 10.0 / 1200), 9000.0); // 10 cents sharp
    for (int b = 0; b < 12; ++b) {
        in->Feed(tone.Next());
        QCoreApplication::processEvents();
        EXPECT_FALSE(session.State().IsBusy()); // no frame ever goes to the worker
    }
    EXPECT_EQ(session.Note(), 45);
    EXPECT_NEAR(ShownCents(doreme.Frequency(45)), 10.0, 2.0);
}

TEST_F(SessionFixture, PreciseModeShowsAndMarksTheNoteLockedReadingThroughTheWorker) {
    session.SetAutomatic(true);
    session.SetPrecise(true);
    session.Start();
    const double e2 = doreme.Frequency(19) * std::pow(2.0, 7.0 / 1200); // 7 cents sharp
    SineBlocks tone(e2, 9000.0);
    for (int b = 0; b < 8; ++b) {
        in->Feed(tone.Next());
        QCoreApplication::processEvents(); // the block, whose frame goes to the worker
        ProcessEventsUntil([&] { return !session.State().IsBusy(); }, 2s);
        QCoreApplication::processEvents(); // the worker's result, posted before it was idle
    }
    EXPECT_EQ(session.Note(), 19);
    EXPECT_NEAR(ShownCents(doreme.Frequency(19)), 7.0, 0.5);
    ASSERT_EQ(session.PreciseMarkers().size(), 20u);
    EXPECT_NEAR(CentsBetween(session.PreciseMarkers().back(), e2), 0.0, 0.5);
    session.SetAutomatic(false); // the spectrum's own estimates again
    EXPECT_TRUE(session.PreciseMarkers().empty());
}

TEST_F(SessionFixture, BlocksFilledWhileTheGuiThreadStallsReachTheAnalysisOldestFirst) {
    session.SelectNote(48);
    session.Start();
    in->Feed(Block(1)); // buffer 0
    QCoreApplication::processEvents();
    in->Feed(Block(2)); // buffer 1
    in->Feed(Block(3)); // buffer 0 again, before anyone looked
    QCoreApplication::processEvents();
    const auto samples = session.State().Samples();
    EXPECT_EQ(samples.front(), 2);
    EXPECT_EQ(samples.back(), 3);
}

TEST_F(SessionFixture, AnAutomaticResultThatLandsAfterAChoiceChangesNothing) {
    session.SetAutomatic(true);
    session.Start();
    // A result asked for in automatic mode, on its way while the user picks a string.
    QCoreApplication::postEvent(&session, new PitchResultEvent(454.0, session.Choice()));
    session.SelectNote(40);
    QCoreApplication::processEvents();
    EXPECT_EQ(session.Note(), 40);
    EXPECT_FALSE(session.Readout().IsShowing());

    // Automatic again, then a half tone: a result from before that is dropped as well.
    session.SetAutomatic(true);
    QCoreApplication::postEvent(&session, new PitchResultEvent(454.0, session.Choice()));
    session.HalfTone(+1);
    session.SetAutomatic(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(session.Note(), 41);

    // One asked for under the current choice moves the target.
    QCoreApplication::postEvent(&session, new PitchResultEvent(454.0, session.Choice()));
    QCoreApplication::processEvents();
    EXPECT_EQ(session.Note(), 49);
    EXPECT_EQ(session.Readout().PitchText(), "444.67Hz (-81Cents)");
}

TEST_F(SessionFixture, CaptureLostIsShownOnceThenFoundAgain) {
    session.SelectNote(48);
    session.Start();
    SineBlocks a4(440.0, 9000.0);
    FeedBlocks(a4, 2);
    ASSERT_TRUE(session.Readout().IsShowing());

    in->FailOpensWith(WAVE_ERR_NODEVICE); // the server is gone for a while
    in->Break();
    ProcessEventsUntil([&] { return !engine.IsCaptureOpen(); }, 1s);
    EXPECT_FALSE(session.Readout().IsShowing());
    EXPECT_TRUE(session.IsRetryingCapture());
    // A retry fails, quietly.
    ASSERT_TRUE(ProcessEventsUntil([&] { return in->OpenCount() >= 2; }, 10s));
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_EQ(errors.messages.size(), 1u);

    in->FailOpensWith(WAVE_NOERROR); // and back
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsCaptureOpen(); }, 3s));
    EXPECT_FALSE(session.IsRetryingCapture());
    FeedBlocks(a4, 2);
    EXPECT_TRUE(session.Readout().IsShowing());
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(SessionFixture, NoInputAtStartIsTriedAgainUntilOneAppears) {
    in->FailOpensWith(WAVE_ERR_NODEVICE);
    session.Start();
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_TRUE(session.IsRetryingCapture());
    in->FailOpensWith(WAVE_NOERROR);
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.IsCaptureOpen(); }, 3s));
    EXPECT_EQ(errors.messages.size(), 1u);
    // Stopping ends the retries as well: nothing opens behind the user's back.
    in->Break();
    ProcessEventsUntil([&] { return session.IsRetryingCapture(); }, 1s);
    session.Stop();
    EXPECT_FALSE(session.IsRetryingCapture());
}

TEST_F(SessionFixture, TheToneIsOffWhateverStopsIt) {
    QSignalSpy tone(&session, &CListeningSession::ToneChanged);
    session.Start();
    session.ToggleTone();
    EXPECT_TRUE(session.IsToneOn());
    out->Break(); // the output device fails while playing
    ProcessEventsUntil([&] { return !session.IsToneOn(); }, 1s);
    EXPECT_FALSE(session.IsToneOn());
    EXPECT_EQ(tone.count(), 2);

    session.ToggleTone();
    engine.StopOutput(); // another pane stops it
    EXPECT_FALSE(session.IsToneOn());
    EXPECT_EQ(tone.count(), 4);

    session.ToggleTone();
    session.SetAutomatic(true); // no tone in automatic mode
    EXPECT_FALSE(session.IsToneOn());
    session.ToggleTone();
    EXPECT_FALSE(session.IsToneOn());
}

TEST_F(SessionFixture, StopsAndStartsAgain) {
    session.Stop();
    session.Start();
    session.Start();
    EXPECT_EQ(in->OpenCount(), 1);
    session.Stop();
    session.Stop();
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_FALSE(session.State().IsWorkerRunning());
    session.SetAutomatic(true);
    session.Start();
    SineBlocks a4(440.0, 9000.0);
    FeedBlocks(a4, 3);
    EXPECT_TRUE(session.Readout().IsShowing());
}

} // namespace
