#include "WaveEngine.h"
#include "AudioTestSupport.h"
#include "Doreme.h"
#include "EngineOnMemory.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"
#include "Messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace {

using namespace std::chrono_literals;

std::vector<std::int16_t> Block(std::int16_t value) {
    return std::vector<std::int16_t>(kBlockSamples, value);
}

std::vector<std::int16_t> Sine(double hz, int count, double amplitude = 8000.0) {
    std::vector<std::int16_t> samples(count);
    const double twoPi = 8.0 * std::atan(1.0);
    for (int i = 0; i < count; ++i) {
        samples[i] = static_cast<std::int16_t>(amplitude * std::sin(twoPi * hz * i / kSampleRate));
    }
    return samples;
}

// The engine with a sink standing in for the listening session; the blocks handed over are
// recorded by their first sample.
struct EngineFixture : EngineOnMemory {
    std::vector<std::int16_t> blocks;
    int outputChanges = 0;
    int note = 48;

    EngineFixture() {
        engine.SetBlockSink([this](CWaveEngine::Block block) { blocks.push_back(block[0]); });
        engine.SetOutputListener([this] { ++outputChanges; });
        engine.SetSynthesisNoteSource([this] { return note; });
    }
};

TEST_F(EngineFixture, BlocksAreHandedOverInTheOrderTheyWereFilled) {
    engine.StartCapture();
    ASSERT_TRUE(engine.IsCaptureOpen());
    in->Feed(Block(1)); // buffer 0
    Pump();
    // The GUI thread stalls while buffer 1, then buffer 0 again, fill up.
    in->Feed(Block(2));
    in->Feed(Block(3));
    Pump();
    // Both were queued again: the next blocks are captured as well.
    in->Feed(Block(4));
    Pump();
    EXPECT_EQ(blocks, (std::vector<std::int16_t>{1, 2, 3, 4}));
}

// Notifications that were under way when capture reopened name buffers queued again since:
// they are dropped by their stamp, and each block of the new opening is handed over once, in
// order, whether it filled before the stale word arrived or after.
TEST_F(EngineFixture, AStaleDoneEventAfterAReopenIsDropped) {
    engine.StartCapture();
    in->Feed(Block(1)); // buffer 0; its notification waits
    in->Feed(Block(2)); // buffer 1 as well
    engine.StopCapture();
    engine.StartCapture();
    in->Feed(Block(3)); // buffer 0 of the new opening, before the stale words arrive
    Pump();
    EXPECT_EQ(blocks, (std::vector<std::int16_t>{3}));
    in->Feed(Block(4));
    in->Feed(Block(5));
    Pump();
    EXPECT_EQ(blocks, (std::vector<std::int16_t>{3, 4, 5}));
}

TEST_F(EngineFixture, ALostCaptureDeviceIsClosedAndShownOnce) {
    engine.StartCapture();
    in->Break();
    in->Break();
    Pump();
    EXPECT_FALSE(engine.IsCaptureOpen());
    EXPECT_FALSE(in->IsOpen());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "Error = 0x00000001, : The sound device stopped or was removed.");

    // A quiet retry opens it again and blocks flow; a failed one shows nothing.
    in->FailNextOpenWith(WAVE_ERR_NODEVICE);
    EXPECT_FALSE(engine.RetryCapture());
    EXPECT_TRUE(engine.RetryCapture());
    in->Feed(Block(5));
    Pump();
    EXPECT_EQ(blocks, (std::vector<std::int16_t>{5}));
    EXPECT_EQ(errors.messages.size(), 1u);
}

// A flapping device: lost again before any sound was heard is the same outage, told once;
// lost after sound was heard is a new one. The display is cleared at each loss.
TEST_F(EngineFixture, OneBoxPerOutageAndNothingStaleOnThePane) {
    engine.StartCapture();
    in->Feed(Sine(440.0, kBlockSamples));
    Pump();
    ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->history.back() > 400.0; }, 2s));
    in->Break();
    Pump();
    ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->history.back() == 0.0; }, 2s));
    EXPECT_EQ(
        *std::max_element(display.Display()->spectrum.begin(), display.Display()->spectrum.end()),
        0.0);

    ASSERT_TRUE(engine.RetryCapture());
    in->Break();
    Pump();
    in->FailNextOpenWith(WAVE_ERR_NODEVICE);
    engine.StartCapture(); // even a start that would show its failure keeps quiet now
    EXPECT_EQ(errors.messages.size(), 1u);

    ASSERT_TRUE(engine.RetryCapture());
    in->Feed(Block(6));
    Pump();
    in->Break();
    Pump();
    EXPECT_EQ(errors.messages.size(), 2u);
}

TEST_F(EngineFixture, ALostOutputDeviceClosesTheOutputAndTellsTheListener) {
    engine.StartOutput();
    ASSERT_EQ(outputChanges, 1);
    out->Break();
    Pump();
    EXPECT_FALSE(engine.IsOutputOpen());
    EXPECT_EQ(outputChanges, 2);
    EXPECT_EQ(errors.messages.size(), 1u);
    engine.StopOutput(); // already closed: no news
    EXPECT_EQ(outputChanges, 2);
}

TEST_F(EngineFixture, StartCaptureTwiceOpensOnce) {
    engine.StartCapture();
    engine.StartCapture();
    EXPECT_EQ(in->OpenCount(), 1);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(EngineFixture, OpenFailureIsShownAndALaterStartRetries) {
    in->FailNextOpenWith(WAVE_ERR_NODEVICE);
    engine.StartCapture();
    EXPECT_FALSE(engine.IsCaptureOpen());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_EQ(errors.messages[0], "Error = 0x00000002, : No sound device is available.");

    engine.StartCapture();
    EXPECT_TRUE(engine.IsCaptureOpen());
    EXPECT_EQ(in->OpenCount(), 2);
    EXPECT_EQ(errors.messages.size(), 1u);
}

TEST_F(EngineFixture, NotificationsForAClosedDeviceAreAcknowledgedAndIgnored) {
    EXPECT_EQ(engine.StopCapture(), WAVE_NOERROR);
    WaveHeader header;
    WaveDoneEvent captured(MM_WIM_DATA, &header, 0);
    WaveDoneEvent played(MM_WOM_DONE, &header, 0);
    QEvent other(QEvent::User);
    EXPECT_EQ(engine.OnBufferDone(&captured), 1);
    EXPECT_EQ(engine.OnBufferDone(&played), 1);
    EXPECT_EQ(engine.OnBufferDone(&other), 0);

    // Data that arrives after a stop is not handed over either, nor a stale notification.
    engine.StartCapture();
    in->Feed(Block(8));
    engine.StopCapture();
    in->Feed(Block(9));
    Pump();
    EXPECT_TRUE(blocks.empty());
    EXPECT_FALSE(in->IsOpen());
}

TEST_F(EngineFixture, CaptureThreadPublishesSpectrumAndHistory) {
    display.SetGraphWindow(&sink);
    engine.StartCapture();
    in->Feed(Sine(440.0, kBlockSamples));
    Pump();
    ASSERT_TRUE(ProcessEventsUntil([&] { return sink.spectrumNotifications > 0; }, 5s));
    const auto shown = display.Display(); // held while later blocks are published
    EXPECT_EQ(shown->serial, 1u);
    const auto peak =
        std::max_element(shown->spectrum.begin(), shown->spectrum.end()) - shown->spectrum.begin();
    EXPECT_EQ(peak, 327);
    // The 1/8192 scale reads a sine's amplitude (8000) in its bin.
    EXPECT_NEAR(shown->spectrum[327], 8000.0, 100.0);
    EXPECT_NEAR(shown->history.back(), 440.0, 1.4);
    EXPECT_EQ(shown->history[DisplayAnalyser::kHistoryLength - 2], 0.0);

    // Silence: an all-zero spectrum and the display search's lowest bin (E1) as estimate.
    // Snapshots published meanwhile never touch the one still held.
    for (int b = 0; b < 6; ++b) {
        in->Feed(Block(0));
        Pump();
        ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->serial == 2u + b; }, 5s));
    }
    EXPECT_EQ(shown->serial, 1u);
    EXPECT_NEAR(shown->spectrum[327], 8000.0, 100.0);
    const auto silent = display.Display();
    EXPECT_TRUE(std::all_of(silent->spectrum.begin(), silent->spectrum.end(),
                            [](double v) { return v == 0.0; }));
    const int lowBin = static_cast<int>(32768 * doreme.Frequency(20) / kSampleRate);
    EXPECT_DOUBLE_EQ(silent->history.back(), lowBin * 44100.0 / 32768);
    EXPECT_NEAR(silent->history[DisplayAnalyser::kHistoryLength - 7], 440.0, 1.4);
}

// A reader may keep a snapshot after the engine has gone (the sanitizer builds check the
// memory); letting go of it then frees it.
TEST(WaveEngineSnapshot, OutlivesTheEngine) {
    CDoreme doreme;
    NotifySink sink;
    std::shared_ptr<const DisplayAnalyser::DisplaySnapshot> kept;
    {
        auto* in = new MemoryWaveIn;
        CWaveEngine engine{doreme.Notes(), std::unique_ptr<IWaveIn>(in),
                           std::make_unique<MemoryWaveOut>()};
        DisplayAnalyser display{doreme.Notes(), engine};
        sink.engine = &engine;
        engine.Initialise(&sink);
        engine.StartCapture();
        in->Feed(Sine(440.0, kBlockSamples));
        QCoreApplication::processEvents();
        ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->serial == 1u; }, 5s));
        kept = display.Display();
        sink.engine = nullptr;
    }
    EXPECT_NEAR(kept->history.back(), 440.0, 1.4);
    EXPECT_EQ(kept->spectrum.size(), static_cast<std::size_t>(DisplayAnalyser::kDisplayBins));
    kept.reset();
}

TEST_F(EngineFixture, AnUntakenSpectrumNotificationIsNotRepeated) {
    display.SetGraphWindow(&sink);
    engine.StartCapture();
    in->Feed(Sine(440.0, kBlockSamples));
    ASSERT_TRUE(ProcessEventsUntil([&] { return sink.spectrumNotifications == 1; }, 5s));
    // The graph has not taken the snapshot: newer ones are published without more news.
    // Each is seen published before the next, so the thread has run for both; whatever it
    // posted has arrived by then.
    for (std::uint64_t published : {2u, 3u}) {
        in->Feed(Sine(440.0, kBlockSamples));
        ASSERT_TRUE(ProcessEventsUntil([&] { return display.Published() == published; }, 5s));
    }
    Pump();
    EXPECT_EQ(sink.spectrumNotifications, 1);
    display.Display();
    in->Feed(Sine(440.0, kBlockSamples));
    EXPECT_TRUE(ProcessEventsUntil([&] { return sink.spectrumNotifications == 2; }, 5s));
}

TEST_F(EngineFixture, WithoutAGraphWindowTheSpectrumIsStillComputed) {
    engine.StartCapture();
    in->Feed(Sine(1000.0, kBlockSamples));
    Pump();
    ASSERT_TRUE(ProcessEventsUntil([&] { return display.Display()->serial == 1u; }, 5s));
    EXPECT_EQ(sink.spectrumNotifications, 0);
    EXPECT_NEAR(display.Display()->history.back(), 1000.0, 1.4);
}

// Plays `count` buffers and lets the engine refill each one as it is told.
void PlayAndRefill(MemoryWaveOut& out, int count) {
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(out.PlayBuffers(1), 1);
        QCoreApplication::processEvents();
    }
}

TEST_F(EngineFixture, OutputStartsWithTwoSilentBuffersThenAContinuousTone) {
    engine.SetSynthesis(true);
    engine.StartOutput();
    ASSERT_TRUE(engine.IsOutputOpen());
    EXPECT_EQ(out->QueuedBuffers(), 2);
    engine.StartOutput(); // already open: nothing more is queued
    EXPECT_EQ(out->QueuedBuffers(), 2);

    PlayAndRefill(*out, 5);
    const auto& played = out->Played();
    ASSERT_EQ(played.size(), 5u * kBlockSamples);
    EXPECT_TRUE(std::all_of(played.begin(), played.begin() + 2 * kBlockSamples,
                            [](std::int16_t v) { return v == 0; }));

    // The tone, sample for sample, as one unbroken waveform from the first refill on: the
    // phase carries across buffers, so there is no click at any boundary.
    const double twoPi = 8.0 * std::atan(1.0);
    const double step = twoPi * 440.0 / kSampleRate;
    int worst = 0;
    for (int i = 0; i < 3 * kBlockSamples; ++i) {
        const double phi = step * i;
        const double v = 0.5 * std::sin(2 * phi) + 0.5 * std::sin(phi) + 0.1 * std::sin(3 * phi);
        worst = std::max(worst,
                         std::abs(played[2 * kBlockSamples + i] - static_cast<int>(v * 25000.0)));
    }
    EXPECT_LE(worst, 1);
    EXPECT_GE(engine.SynthesisPhase(), 0.0);
    EXPECT_LE(engine.SynthesisPhase(), twoPi + step);

    // The note is read at every refill: a playing tone follows it.
    note = 60;
    PlayAndRefill(*out, 3);
    EXPECT_EQ(engine.StopOutput(), WAVE_NOERROR);
    EXPECT_FALSE(out->IsOpen());
    EXPECT_EQ(engine.StopOutput(), WAVE_NOERROR);
}

void ExpectClipLoops(EngineFixture& f, int length) {
    std::vector<std::int16_t> clip(length);
    std::iota(clip.begin(), clip.end(), std::int16_t{1});
    f.engine.SetClip(clip);
    f.engine.SetSynthesis(false);
    f.engine.StartOutput();
    PlayAndRefill(*f.out, 7);
    const auto& played = f.out->Played();
    ASSERT_EQ(played.size(), 7u * kBlockSamples);
    for (std::size_t i = 2 * kBlockSamples; i < played.size(); ++i) {
        ASSERT_EQ(played[i], clip[(i - 2 * kBlockSamples) % clip.size()]) << "sample " << i;
    }
    f.engine.StopOutput();
}

TEST_F(EngineFixture, ClipOfWholeBuffersLoopsWithoutAGap) {
    ExpectClipLoops(*this, 2 * 16384);
}

TEST_F(EngineFixture, ClipOfAnOddLengthWrapsInsideABuffer) {
    ExpectClipLoops(*this, 20000);
}

TEST_F(EngineFixture, ClipShorterThanABufferRepeatsWithinIt) {
    ExpectClipLoops(*this, 3000);
}

TEST_F(EngineFixture, OutputOpenFailureIsShownAndRetried) {
    out->FailNextOpenWith(WAVE_ERR_OPEN);
    engine.StartOutput();
    EXPECT_FALSE(engine.IsOutputOpen());
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_TRUE(errors.messages[0].startsWith("Error = 0x00000004, : "));
    engine.StartOutput();
    EXPECT_TRUE(engine.IsOutputOpen());
}

} // namespace
