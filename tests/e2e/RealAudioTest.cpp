// The engine on the system's real sound server: a tone played into the default sink reaches
// the default source, the capture device, the worker and the note-locked measurement, exactly
// as a microphone would bring it. Runs under with-pulse (a private server).
#include "AudioTestSupport.h"
#include "BlockHandOff.h"
#include "Doreme.h"
#include "QtWaveIn.h"
#include "QtWaveOut.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>

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

std::string Run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

// A sine played into the server's default sink for as long as it lives.
class ServerSine {
public:
    explicit ServerSine(int hz) {
        m_module =
            Run("pactl load-module module-sine sink=nullsink frequency=" + std::to_string(hz));
        while (!m_module.empty() && (m_module.back() == '\n' || m_module.back() == ' ')) {
            m_module.pop_back();
        }
    }
    ~ServerSine() {
        if (!m_module.empty()) {
            Run("pactl unload-module " + m_module);
        }
    }
    bool IsPlaying() const { return !m_module.empty(); }

private:
    std::string m_module;
};

struct RealAudio : ::testing::Test {
    CDoreme doreme;
    CWaveEngine engine{doreme.Notes(), std::make_unique<QtWaveIn>(), std::make_unique<QtWaveOut>()};
    NotifySink tuner;
    CBlockHandOff handOff{engine, doreme.Notes(), &tuner};
    ErrorRecorder errors;

    // Waits for `count` results of the given kind after those already there; all of them.
    std::vector<double> Results(PitchResultEvent::Source source, std::size_t count) {
        const std::size_t start = tuner.pitches.size();
        auto matching = [&] {
            std::vector<double> found;
            for (std::size_t i = start; i < tuner.pitches.size(); ++i) {
                if (tuner.sources[i] == source) {
                    found.push_back(tuner.pitches[i]);
                }
            }
            return found;
        };
        ProcessEventsUntil([&] { return matching().size() >= count; }, 20s);
        return matching();
    }

    void TearDown() override {
        handOff.Stop();
        ProcessEventsUntil([] { return false; }, 200ms);
    }
};

TEST_F(RealAudio, PlayedToneReadsInBothModes) {
    ServerSine sine(440);
    ASSERT_TRUE(sine.IsPlaying());
    handOff.Start();
    ASSERT_TRUE(engine.IsCaptureOpen());
    ASSERT_TRUE(errors.messages.empty());

    // The first frames may still hold the silence from before the tone reached the source.
    const auto automatic = Results(PitchResultEvent::Source::Worker, 6);
    Log("automatic", automatic, 440.0);
    ASSERT_GE(automatic.size(), 6u);
    for (std::size_t i = 3; i < automatic.size(); ++i) {
        EXPECT_NEAR(Cents(automatic[i], 440.0), 0.0, 3.0) << automatic[i];
    }

    handOff.SetAutomatic(false);
    handOff.SetNote(48);
    const auto locked = Results(PitchResultEvent::Source::NoteLocked, 4);
    Log("note-locked", locked, 440.0);
    ASSERT_GE(locked.size(), 4u);
    for (double hz : locked) {
        EXPECT_NEAR(Cents(hz, 440.0), 0.0, 3.0) << hz;
    }
    EXPECT_GT(engine.Display()->serial, 4u);
    EXPECT_NEAR(engine.Display()->history.back(), 440.0, 1.4);
}

TEST_F(RealAudio, ReferenceToneIsCapturedBackAtItsFrequency) {
    const int note = 45; // #F4
    handOff.SetAutomatic(false);
    handOff.SetNote(note);
    handOff.Start();
    engine.SetSynthesisNote(note);
    engine.SetSynthesis(true);
    engine.StartOutput();
    ASSERT_TRUE(engine.IsOutputOpen());
    ASSERT_TRUE(errors.messages.empty());

    // Two silent buffers lead the tone; later blocks hear it.
    const auto locked = Results(PitchResultEvent::Source::NoteLocked, 8);
    Log("reference tone, note-locked", locked, doreme.Frequency(note));
    ASSERT_GE(locked.size(), 8u);
    for (std::size_t i = 5; i < locked.size(); ++i) {
        EXPECT_NEAR(Cents(locked[i], doreme.Frequency(note)), 0.0, 3.0) << locked[i];
    }

    handOff.SetAutomatic(true);
    const auto automatic = Results(PitchResultEvent::Source::Worker, 3);
    Log("reference tone, automatic", automatic, doreme.Frequency(note));
    ASSERT_GE(automatic.size(), 3u);
    for (std::size_t i = 1; i < automatic.size(); ++i) {
        EXPECT_NEAR(Cents(automatic[i], doreme.Frequency(note)), 0.0, 4.0) << automatic[i];
    }
    EXPECT_EQ(engine.StopOutput(), WAVE_NOERROR);
}

// Run with no sound server at all: the user hears of it once per device and the program goes
// on without sound.
TEST(NoSoundServer, ErrorIsShownAndNothingBreaks) {
    CDoreme doreme;
    ErrorRecorder errors;
    {
        CWaveEngine engine{doreme.Notes(), std::make_unique<QtWaveIn>(),
                           std::make_unique<QtWaveOut>()};
        NotifySink tuner;
        CBlockHandOff handOff{engine, doreme.Notes(), &tuner};
        handOff.Start();
        EXPECT_FALSE(engine.IsCaptureOpen());
        ASSERT_EQ(errors.messages.size(), 1u);
        EXPECT_TRUE(errors.messages[0].startsWith("Error = 0x0000000"))
            << errors.messages[0].toStdString();

        engine.StartOutput();
        EXPECT_FALSE(engine.IsOutputOpen());
        EXPECT_EQ(errors.messages.size(), 2u);

        ProcessEventsUntil([] { return false; }, 300ms);
        EXPECT_TRUE(tuner.pitches.empty());
        handOff.Stop();
    }
    EXPECT_EQ(errors.messages.size(), 2u);
}

} // namespace
