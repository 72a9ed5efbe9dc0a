#include "AnalysisState.h"
#include "BlockPipeline.h"
#include "Doreme.h"
#include "NoteLockedMeasurement.h"
#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(AnalysisState, SampleBufferHoldsTheTwoNewestBlocks) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    state.ShiftInBlock(std::vector<std::int16_t>(16384, 1));
    auto samples = state.Samples();
    EXPECT_EQ(samples[0], 0); // after the first block the older half is still silence
    EXPECT_EQ(samples[16383], 0);
    EXPECT_EQ(samples[16384], 1);

    state.ShiftInBlock(std::vector<std::int16_t>(16384, 2));
    samples = state.Samples();
    EXPECT_EQ(samples[0], 1);
    EXPECT_EQ(samples[16383], 1);
    EXPECT_EQ(samples[16384], 2);
    EXPECT_EQ(samples[32767], 2);
}

TEST(AnalysisState, FramesOfferedWhileBusyAreDropped) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    EXPECT_FALSE(state.OfferFrame()); // no transform yet
    ASSERT_EQ(state.InitTransform(), 1);
    // No worker: the first frame stays pending and every later one is dropped.
    EXPECT_TRUE(state.OfferFrame());
    EXPECT_TRUE(state.IsBusy());
    EXPECT_FALSE(state.OfferFrame());
    EXPECT_FALSE(state.WaitUntilIdle(20ms));

    std::atomic<int> posted{0};
    state.StartWorker([&](const AnalysisState::FrameResult&) { ++posted; });
    ASSERT_TRUE(state.WaitUntilIdle(2s));
    EXPECT_EQ(posted.load(), 1);
    EXPECT_TRUE(state.OfferFrame()); // the next free block is taken
    ASSERT_TRUE(state.WaitUntilIdle(2s));
    EXPECT_EQ(posted.load(), 2);
    state.StopWorker();
    EXPECT_FALSE(state.IsWorkerRunning());
}

TEST(AnalysisState, WorkerReadsACleanToneAndPostsBeforeClearingReady) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    ASSERT_EQ(state.InitTransform(), 1);
    std::atomic<int> postedWhileBusy{0};
    std::atomic<double> postedResult{0.0};
    std::atomic<std::uint64_t> postedTag{0};
    state.StartWorker([&](const AnalysisState::FrameResult& r) {
        postedWhileBusy += state.IsBusy() ? 1 : 0;
        postedResult = r.hz;
        postedTag = r.tag;
    });
    SineBlocks sine(440.0, 10000.0);
    for (int b = 0; b < 4; ++b) {
        state.ShiftInBlock(sine.Next());
        ASSERT_TRUE(state.OfferFrame(100 + b));
        ASSERT_TRUE(state.WaitUntilIdle(2s));
        EXPECT_EQ(postedResult.load(), state.Result());
        EXPECT_EQ(postedTag.load(), 100u + b); // the frame's tag comes back with its result
        EXPECT_NEAR(CentsBetween(state.Result(), 440.0), 0.0, 3.2) << b;
    }
    EXPECT_EQ(postedWhileBusy.load(), 4);
}

TEST(AnalysisState, AnalysingAtOnceGivesTheWorkersResult) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    EXPECT_FALSE(state.AnalyseNow().has_value()); // no transform yet
    ASSERT_EQ(state.InitTransform(), 1);
    SineBlocks sine(330.0, 10000.0);
    state.ShiftInBlock(sine.Next());
    state.ShiftInBlock(sine.Next());
    const auto now = state.AnalyseNow();
    ASSERT_TRUE(now.has_value());
    state.StartWorker({});
    EXPECT_FALSE(state.AnalyseNow().has_value()); // never beside a running worker
    ASSERT_TRUE(state.OfferFrame());
    ASSERT_TRUE(state.WaitUntilIdle(2s));
    EXPECT_EQ(state.Result(), *now);
    EXPECT_NEAR(CentsBetween(*now, 330.0), 0.0, 3.2);
}

TEST(AnalysisState, StopWithAFramePendingLeavesItIdle) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    ASSERT_EQ(state.InitTransform(), 1);
    state.StartWorker({});
    state.StopWorker();
    EXPECT_TRUE(state.OfferFrame());
    state.StopWorker();
    EXPECT_FALSE(state.IsBusy());
    // The worker starts again after a stop.
    std::atomic<int> posted{0};
    state.StartWorker([&](const AnalysisState::FrameResult&) { ++posted; });
    EXPECT_TRUE(state.OfferFrame());
    EXPECT_TRUE(state.WaitUntilIdle(2s));
    EXPECT_EQ(posted.load(), 1);
}

// A frame taken by the worker is checked on its own spectrum, even when newer blocks of another
// tone have come in before its result is handled; the result names the frame's newest block.
TEST(AnalysisState, OctaveCheckBelongsToTheFrameOffered) {
    CDoreme doreme;
    AnalysisState state(doreme.Notes());
    ASSERT_EQ(state.InitTransform(), 1);
    SineBlocks low(220.0, 10000.0);
    SineBlocks high(660.0, 10000.0);
    state.ShiftInBlock(low.Next());
    state.ShiftInBlock(low.Next());
    state.SetOctaveCheck(true);
    ASSERT_TRUE(state.OfferFrame(7)); // no worker yet: the frame waits in hand
    state.SetOctaveCheck(false);      // a later change does not reach the frame in hand
    state.ShiftInBlock(high.Next());
    state.ShiftInBlock(high.Next());
    std::mutex mutex;
    std::vector<AnalysisState::FrameResult> posted;
    state.StartWorker([&](const AnalysisState::FrameResult& r) {
        std::lock_guard lock(mutex);
        posted.push_back(r);
    });
    ASSERT_TRUE(state.WaitUntilIdle(2s));
    ASSERT_TRUE(state.OfferFrame(8)); // the newest blocks, unchecked now
    ASSERT_TRUE(state.WaitUntilIdle(2s));
    state.StopWorker();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].tag, 7u);
    EXPECT_EQ(posted[0].block, 2u);
    ASSERT_TRUE(posted[0].octave.has_value());
    EXPECT_NEAR(CentsBetween(*posted[0].octave, 220.0), 0.0, 3.0);
    EXPECT_EQ(posted[1].block, 4u);
    EXPECT_FALSE(posted[1].octave.has_value());
    EXPECT_NEAR(CentsBetween(posted[1].hz, 660.0), 0.0, 3.2);
}

struct Pipeline {
    CDoreme doreme;
    AnalysisState state{doreme.Notes()};
    NoteLockedMeasurement meter;
    BlockPipeline pipeline{state, meter, doreme.Notes()};
};

TEST(BlockPipeline, NoteSelectedMeasuresAtOnceAndNeverOffersAFrame) {
    Pipeline p;
    ASSERT_EQ(p.state.InitTransform(), 1);
    SineBlocks sine(440.0, 10000.0);
    for (int b = 0; b < 3; ++b) {
        p.pipeline.HandOverBlock(sine.Next(), 48);
        const auto outcome = p.pipeline.Dispatch(48, false);
        EXPECT_FALSE(outcome.frameOffered);
        EXPECT_FALSE(outcome.frameDropped);
        ASSERT_TRUE(outcome.noteLockedHz.has_value());
        EXPECT_NEAR(CentsBetween(*outcome.noteLockedHz, 440.0), 0.0, 2.0);
    }
    EXPECT_FALSE(p.state.IsBusy());
}

TEST(BlockPipeline, AutomaticModeOffersFramesAndDropsWhileBusy) {
    Pipeline p;
    ASSERT_EQ(p.state.InitTransform(), 1);
    SineBlocks sine(440.0, 10000.0);
    p.pipeline.HandOverBlock(sine.Next(), 48);
    auto outcome = p.pipeline.Dispatch(48, true);
    EXPECT_TRUE(outcome.frameOffered);
    EXPECT_FALSE(outcome.noteLockedHz.has_value());
    p.pipeline.HandOverBlock(sine.Next(), 48);
    outcome = p.pipeline.Dispatch(48, true);
    EXPECT_TRUE(outcome.frameDropped);
}

TEST(BlockPipeline, HistoryIsFedInBothModesWithTheNotesFactor) {
    Pipeline p;
    // Note 5 decimates by four: each block adds 4096 values.
    p.pipeline.HandOverBlock(std::vector<std::int16_t>(16384, 3), 5);
    const auto h = p.meter.History();
    EXPECT_EQ(h[16384 - 4097], 0.0);
    EXPECT_EQ(h[16384 - 4096], 3.0);
    EXPECT_EQ(p.state.Samples()[16384], 3);
}

} // namespace
