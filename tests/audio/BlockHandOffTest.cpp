#include "BlockHandOff.h"
#include "AudioTestSupport.h"
#include "Doreme.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace std::chrono_literals;

class SineSource {
public:
    explicit SineSource(double hz) : m_hz(hz) {}
    std::vector<std::int16_t> Next() {
        std::vector<std::int16_t> block(kBlockSamples);
        const double twoPi = 8.0 * std::atan(1.0);
        for (auto& s : block) {
            s = static_cast<std::int16_t>(9000.0 * std::sin(twoPi * m_hz * m_n++ / kSampleRate));
        }
        return block;
    }

private:
    double m_hz;
    long m_n = 0;
};

struct HandOffFixture : ::testing::Test {
    CDoreme doreme;
    MemoryWaveIn* in = new MemoryWaveIn;
    CWaveEngine engine{doreme.Notes(), std::unique_ptr<IWaveIn>(in),
                       std::make_unique<MemoryWaveOut>()};
    NotifySink tuner; // receives the results
    CBlockHandOff handOff{engine, doreme.Notes(), &tuner};
    ErrorRecorder errors;

    // Feeds blocks one at a time, letting every event of each block run, as a live card would.
    void FeedBlocks(SineSource& source, int count) {
        for (int b = 0; b < count; ++b) {
            const auto results = tuner.pitches.size();
            in->Feed(source.Next());
            ProcessEventsUntil([&] { return tuner.pitches.size() > results; }, 2s);
        }
    }
};

double Cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

TEST_F(HandOffFixture, AutomaticModeReadsACleanToneThroughTheWorker) {
    handOff.Start();
    ASSERT_TRUE(engine.IsCaptureOpen());
    SineSource a4(440.0);
    FeedBlocks(a4, 4);
    ASSERT_GE(tuner.pitches.size(), 3u);
    EXPECT_EQ(handOff.BlocksHandedOver(), 4u);
    for (std::size_t i = 1; i < tuner.pitches.size(); ++i) {
        EXPECT_EQ(tuner.sources[i], PitchResultEvent::Source::Worker);
        EXPECT_NEAR(Cents(tuner.pitches[i], 440.0), 0.0, 3.2) << i;
    }
    handOff.Stop();
}

TEST_F(HandOffFixture, NoteSelectedMeasuresWithoutTheWorker) {
    handOff.SetAutomatic(false);
    handOff.SetNote(45); // #F4
    handOff.Start();
    SineSource tone(doreme.Frequency(45) * std::pow(2.0, 10.0 / 1200)); // 10 cents sharp
    for (int b = 0; b < 3; ++b) {
        in->Feed(tone.Next());
        ProcessEventsUntil([&] { return tuner.pitches.size() > static_cast<std::size_t>(b); }, 2s);
        EXPECT_FALSE(handOff.State().IsBusy()); // no frame ever goes to the worker
    }
    ASSERT_EQ(tuner.pitches.size(), 3u);
    for (std::size_t i = 0; i < tuner.pitches.size(); ++i) {
        EXPECT_EQ(tuner.sources[i], PitchResultEvent::Source::NoteLocked);
        EXPECT_NEAR(Cents(tuner.pitches[i], doreme.Frequency(45)), 10.0, 2.0);
    }
    handOff.Stop();
}

TEST_F(HandOffFixture, AStaleNotificationFeedsNothing) {
    handOff.Start();
    QCoreApplication::postEvent(&handOff, new QEvent(MM_WIM_DATA));
    QCoreApplication::processEvents();
    EXPECT_EQ(handOff.BlocksHandedOver(), 0u);
    EXPECT_TRUE(tuner.pitches.empty());
    handOff.Stop();
}

TEST_F(HandOffFixture, StopsAndStartsAgain) {
    handOff.Start();
    handOff.Stop();
    handOff.Stop();
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_FALSE(handOff.State().IsWorkerRunning());
    handOff.Start();
    EXPECT_TRUE(engine.IsCaptureOpen());
    SineSource a4(440.0);
    FeedBlocks(a4, 2);
    EXPECT_FALSE(tuner.pitches.empty());
}

} // namespace
