// The listening session on the system's real sound server: a tone played into the default sink
// reaches the default source, the capture device, the worker and the note-locked measurement,
// exactly as a microphone would bring it. Runs under with-pulse (a private server).
#include "AudioTestSupport.h"
#include "ChildProgram.h"
#include "Doreme.h"
#include "ListeningSession.h"
#include "ProbeTone.h"
#include "PulseWaveOut.h"
#include "ServerSine.h"
#include "SystemWaveDevices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

double Cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

// The readings go to the log so a run shows how close they came, not only that they passed.
void Log(const char* what, const std::vector<double>& readings, double reference) {
    std::cout << what << ":";
    for (double hz : readings) {
        std::cout << " " << hz << " Hz (" << Cents(hz, reference) << " c)";
    }
    std::cout << std::endl;
}

struct RealAudio : ::testing::Test {
    CDoreme doreme;
    CWaveEngine engine{doreme.Notes(), MakeSystemWaveIn(), MakeSystemWaveOut()};
    DisplayAnalyser display{doreme.Notes(), engine};
    CListeningSession session{doreme, engine};
    ErrorRecorder errors;

    // Waits until the read-out has stood within `cents` of the reference for three readings in
    // a row; the readings go to the log.
    bool Settles(const char* what, double reference, double cents) {
        std::vector<double> readings;
        int near = 0;
        QObject::connect(&session, &CListeningSession::ReadoutChanged, [&] {
            if (session.Readout().IsShowing()) {
                readings.push_back(session.Readout().Smoothed());
                near = std::abs(Cents(readings.back(), reference)) < cents ? near + 1 : 0;
            }
        });
        const bool settled = ProcessEventsUntil([&] { return near >= 3; }, 20s);
        QObject::disconnect(&session, &CListeningSession::ReadoutChanged, nullptr, nullptr);
        Log(what, readings, reference);
        return settled;
    }

    void TearDown() override { session.Stop(); }
};

TEST_F(RealAudio, PlayedToneReadsInBothModes) {
    ServerSine sine(440);
    ASSERT_TRUE(sine.IsPlaying());
    session.SetAutomatic(true);
    session.Start();
    ASSERT_TRUE(engine.IsCaptureOpen());
    ASSERT_TRUE(errors.messages.empty());
    EXPECT_TRUE(Settles("automatic", 440.0, 3.0));
    EXPECT_EQ(session.Note(), 48);

    session.SelectNote(48);
    EXPECT_TRUE(Settles("note-locked", 440.0, 3.0));
    EXPECT_GT(display.Display()->serial, 4u);
    EXPECT_NEAR(display.Display()->history.back(), 440.0, 1.4);
}

TEST_F(RealAudio, ReferenceToneIsCapturedBackAtItsFrequency) {
    const int note = 45; // #F4
    session.SelectNote(note);
    session.Start();
    session.ToggleTone();
    ASSERT_TRUE(engine.IsOutputOpen());
    ASSERT_TRUE(errors.messages.empty());
    EXPECT_TRUE(Settles("reference tone, note-locked", doreme.Frequency(note), 3.0));
    session.HalfTone(+2); // the tone follows the target
    EXPECT_TRUE(Settles("reference tone two half tones up", doreme.Frequency(note + 2), 3.0));
    session.ToggleTone();
    EXPECT_FALSE(engine.IsOutputOpen());
}

// Keeps every captured sample.
class Recorder : public ICaptureListener {
public:
    std::vector<std::int16_t> samples;

    std::size_t LoudSamples() const {
        return std::size_t(std::count_if(samples.begin(), samples.end(),
                                         [](std::int16_t v) { return std::abs(v) > 1000; }));
    }
    void OnCapturedBlock(Block block) override {
        samples.insert(samples.end(), block.begin(), block.end());
    }
    void OnCaptureLost() override {}
};

// Hands the probe's notifications to it, as the spectrum pane does.
class ProbeOwner : public QObject {
public:
    explicit ProbeOwner(ProbeTone& probe) : m_probe(probe) {}

protected:
    bool event(QEvent* e) override {
        if (e->type() == MM_WOM_DONE) {
            m_probe.ProbeToneRefill(static_cast<WaveDoneEvent*>(e));
            return true;
        }
        return QObject::event(e);
    }

private:
    ProbeTone& m_probe;
};

// The probe tone's fade reaches the speaker whole before the device lets its stream go, even
// when the server holds far more than the silent block after the fade (as a sink with a long
// latency does): the recorded tone dies away instead of stopping short.
TEST_F(RealAudio, TheProbeTonesFadeReachesTheSpeakerWhole) {
    Recorder recorder;
    engine.AddCaptureListener(&recorder);
    session.Start();
    PulseWaveOut device(1.0);
    ProbeTone probe(doreme.Notes(), device);
    ProbeOwner owner(probe);
    probe.ProbeToneInit(&owner);
    probe.SetNote(48);
    probe.ProbeToneStart();
    ASSERT_TRUE(ProcessEventsUntil([&] { return recorder.LoudSamples() > kSampleRate / 2; }, 10s));
    probe.ProbeToneStop();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !probe.IsOpen(); }, 5s));
    const std::size_t stopped = recorder.samples.size();
    ASSERT_TRUE(ProcessEventsUntil(
        [&] { return recorder.samples.size() > stopped + 2 * kBlockSamples; }, 10s));
    engine.RemoveCaptureListener(&recorder);

    const auto& heard = recorder.samples;
    const auto last = std::find_if(heard.rbegin(), heard.rend(),
                                   [](std::int16_t v) { return std::abs(v) > 200; });
    ASSERT_NE(last, heard.rend());
    const auto end = static_cast<std::ptrdiff_t>(heard.rend() - last);
    ASSERT_GT(end, 2000);
    const auto peak = [&](std::ptrdiff_t from, std::ptrdiff_t to) {
        int most = 0;
        for (std::ptrdiff_t i = from; i < to; ++i) {
            most = std::max(most, std::abs(int(heard[std::size_t(i)])));
        }
        return most;
    };
    // The last 40 samples lie at the fade's quiet end; a cut tone ends at full strength.
    const int tone = peak(end - 2000, end - 500);
    const int tail = peak(end - 40, end);
    EXPECT_GT(tone, 5000);
    EXPECT_LT(tail, tone * 4 / 10) << "tone " << tone << ", last 40 samples " << tail;
}

// The GUI thread stalls for half a second while the reference tone plays and capture runs:
// the speaker's sound (recorded beside the program) has no gap, and no captured sound is
// lost. A stall far beyond what the buffers hold is counted as a loss.
TEST_F(RealAudio, AStalledGuiThreadLosesNothing) {
    session.SelectNote(kNoteA4);
    session.Start();
    session.ToggleTone();
    ASSERT_TRUE(Settles("reference tone before the stall", 440.0, 3.0));

    ChildProgram recorder("parec",
                          {"--device=nullsink.monitor", "--channels=1", "--rate=44100",
                           "--format=s16le", "--latency-msec=20"},
                          ChildProgram::Capture::Output);
    const auto recorded = [&recorder] { return recorder.CapturedSize() / 2; };
    ASSERT_TRUE(ProcessEventsUntil([&] { return recorded() > kSampleRate; }, 20s));
    std::this_thread::sleep_for(500ms); // the stall
    ASSERT_TRUE(ProcessEventsUntil([&] { return recorded() > 7u * kSampleRate / 2; }, 20s));
    recorder.Terminate();
    recorder.Wait(5s);

    const std::string bytes = recorder.Captured();
    std::vector<std::int16_t> heard(bytes.size() / 2);
    std::memcpy(heard.data(), bytes.data(), heard.size() * 2);
    ASSERT_GT(heard.size(), 3u * kSampleRate);
    // Every 10 ms of the speaker's sound carries the tone, apart from the recorder's own start.
    const std::size_t window = kSampleRate / 100;
    std::size_t quiet = 0;
    for (std::size_t at = kSampleRate / 10; at + window <= heard.size(); at += window) {
        const auto [low, high] =
            std::minmax_element(heard.begin() + at, heard.begin() + at + window);
        quiet += *high - *low < 10000 ? 1 : 0;
    }
    EXPECT_EQ(quiet, 0u);
    EXPECT_EQ(engine.CaptureDevice().LostStretches(), 0u);

    std::this_thread::sleep_for(2500ms); // beyond the buffers and what the stream may hold
    ASSERT_TRUE(ProcessEventsUntil([&] { return engine.CaptureDevice().LostStretches() > 0; }, 5s));
    // Capture goes on after it, and the stretch is counted once, however many pieces it had.
    const auto serial = display.Display()->serial;
    ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->serial > serial + 2; }, 10s));
    EXPECT_EQ(engine.CaptureDevice().LostStretches(), 1u);
}

// Run with no sound server at all: the user hears of it once per device and the program goes
// on without sound.
TEST(NoSoundServer, ErrorIsShownAndNothingBreaks) {
    CDoreme doreme;
    ErrorRecorder errors;
    {
        CWaveEngine engine{doreme.Notes(), MakeSystemWaveIn(), MakeSystemWaveOut()};
        CListeningSession session{doreme, engine};
        session.Start();
        EXPECT_FALSE(engine.IsCaptureOpen());
        ASSERT_EQ(errors.messages.size(), 1u);
        EXPECT_TRUE(errors.messages[0].startsWith("Error = 0x0000000"))
            << errors.messages[0].toStdString();

        engine.StartOutput();
        EXPECT_FALSE(engine.IsOutputOpen());
        EXPECT_EQ(errors.messages.size(), 2u);

        ProcessEventsUntil([] { return false; }, 300ms);
        EXPECT_FALSE(session.Readout().IsShowing());
        session.Stop();
    }
    EXPECT_EQ(errors.messages.size(), 2u);
}

} // namespace
