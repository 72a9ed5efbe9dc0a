#include "ListeningSession.h"
#include "AudioTestSupport.h"
#include "Doreme.h"
#include "EngineOnMemory.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"
#include "SignalHelpers.h"
#include "TunerMessages.h"

#include <QSignalSpy>

#include <algorithm>
#include <cmath>

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

// Blocks at a level in dB of a full-scale sine, fed one at a time; each waits until the
// session has taken it and, in automatic mode, until the worker's result is in.
struct LevelFixture : SessionFixture {
    static double Amplitude(double db) { return 32768.0 * std::pow(10.0, db / 20.0); }

    void Take(const std::vector<std::int16_t>& block) {
        QSignalSpy heard(&session, &CListeningSession::LevelChanged);
        in->Feed(block);
        ProcessEventsUntil([&] { return heard.count() > 0; }, 2s);
        ProcessEventsUntil([&] { return !session.State().IsBusy(); }, 2s);
        QCoreApplication::processEvents(); // the worker's result, posted before it was idle
    }
    void Take(SineBlocks& tone, int count) {
        for (int b = 0; b < count; ++b) {
            Take(tone.Next());
        }
    }
    bool NoMarkers() {
        const auto markers = session.PreciseMarkers();
        return std::all_of(markers.begin(), markers.end(), [](double m) { return m == 0.0; });
    }
};

TEST_F(LevelFixture, QuietShowsNothingInEveryModeAndAutomaticModeKeepsItsTarget) {
    enum Mode { NoteLocked, Automatic, Precise };
    for (const Mode mode : {NoteLocked, Automatic, Precise}) {
        SCOPED_TRACE(mode);
        session.SelectNote(mode == NoteLocked ? 48 : 40); // automatic mode moves to 48
        session.SetPrecise(mode == Precise);
        session.SetAutomatic(mode != NoteLocked);
        session.Start();
        SineBlocks string(doreme.Frequency(48), Amplitude(-30.0)); // a plucked string
        Take(string, 6);
        EXPECT_FALSE(session.IsQuiet());
        EXPECT_TRUE(session.Readout().IsShowing());
        EXPECT_EQ(session.Note(), 48);

        SineBlocks hum(50.0, Amplitude(-60.0)); // a room's hum; real noise in the program's test
        for (const auto& quiet : {hum.Next(), Block(0)}) {
            for (int b = 0; b < 4; ++b) {
                Take(quiet);
                EXPECT_TRUE(session.IsQuiet());
                EXPECT_FALSE(session.Readout().IsShowing());
                EXPECT_EQ(session.Readout().MeterPosition(), 0);
                EXPECT_EQ(session.StrobeTarget(), 0.0);
                EXPECT_TRUE(NoMarkers());
                EXPECT_EQ(session.Note(), 48); // not A0
            }
        }
        EXPECT_NEAR(session.InputLevel(), LevelGate::kSilenceDb, 0.1);
        session.Stop();
    }
}

TEST_F(LevelFixture, SoundBackAfterQuietStartsTheReadoutAfresh) {
    session.SelectNote(48);
    session.Start();
    SineBlocks sharp(doreme.Frequency(48) * std::pow(2.0, 20.0 / 1200), 9000.0);
    Take(sharp, 8);
    EXPECT_NEAR(ShownCents(doreme.Frequency(48)), 20.0, 1.0);
    Take(Block(0));
    SineBlocks inTune(doreme.Frequency(48), 9000.0);
    Take(inTune.Next()); // the block the sound comes back in is not read
    EXPECT_FALSE(session.Readout().IsShowing());
    Take(inTune.Next()); // gliding would still show 13 cents
    EXPECT_NEAR(ShownCents(doreme.Frequency(48)), 0.0, 1.0);
}

TEST_F(LevelFixture, OutOfTheBandTheReadoutSaysWhichWayAndNoFrequency) {
    session.SelectNote(48);
    session.Start();
    const struct {
        double hz;
        int side;
    } cases[] = {{330.0, -1}, {600.0, +1}};
    for (const auto& c : cases) {
        SineBlocks tone(c.hz, 9000.0);
        Take(tone, 2);
        EXPECT_EQ(session.Readout().OutOfBand(), c.side) << c.hz;
        EXPECT_FALSE(session.Readout().IsShowing()) << c.hz;
        EXPECT_EQ(session.Readout().LowText(), c.side < 0 ? "L" : "") << c.hz;
        EXPECT_EQ(session.Readout().HighText(), c.side > 0 ? "H" : "") << c.hz;
        EXPECT_EQ(session.Readout().MeterPosition(), c.side * TunerReadout::kMeterRange);
    }
    // Back in the band, the reading starts from the sound, not from before it left.
    SineBlocks near(doreme.Frequency(48) * std::pow(2.0, 30.0 / 1200), 9000.0);
    Take(near, 1);
    EXPECT_EQ(session.Readout().OutOfBand(), 0);
    EXPECT_NEAR(ShownCents(doreme.Frequency(48)), 30.0, 1.0);
    // An octave below is a partial away, not out of the band: no claim either way.
    SineBlocks octave(doreme.Frequency(36), 9000.0);
    Take(octave, 2);
    EXPECT_EQ(session.Readout().OutOfBand(), 0);
}

} // namespace
