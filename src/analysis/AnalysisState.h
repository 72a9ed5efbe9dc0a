#pragma once

#include "AudioFormat.h"
#include "Fft.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <stop_token>
#include <thread>
#include <vector>

class NoteTable;

// The state the GUI thread shares with the analysis worker, and the worker itself.
//
// The transform arrays change hands through the ready flag: the GUI thread prepares a frame
// only while the flag is clear and then sets it (release); the worker transforms only while it
// is set (acquire), stores the result, posts it and clears the flag (release). A block that
// arrives while the worker is busy is dropped, never queued. Each frame carries the caller's
// tag back with its result, so the caller can tell a result asked for under settings that have
// changed since, and the count of blocks shifted in when it was offered: its newest block.
//
// With the octave check on, the worker also checks the estimate's octave (OctaveGuard) on the
// spectrum it has just made, so the check sees the very frame the estimate came from however
// late the result is handled, and no second transform of it is needed.
class AnalysisState {
public:
    static constexpr int kFrameSamples = 2 * kBlockSamples;

    struct FrameResult {
        double hz = 0.0;              // the automatic estimate
        std::optional<double> octave; // the estimate checked by the octave guard, when asked
        std::uint64_t tag = 0;        // the caller's tag
        std::uint64_t block = 0;      // blocks shifted in when the frame was offered
    };

    // The worker reads the search limits from the notes at every frame.
    explicit AnalysisState(const NoteTable& notes);
    ~AnalysisState();

    AnalysisState(const AnalysisState&) = delete;
    AnalysisState& operator=(const AnalysisState&) = delete;

    // Allocates the transform; 1 on success, 0 when memory runs out.
    int InitTransform();

    // Runs on the worker thread after each result is stored; it must only hand the news over
    // (post an event), never wait on the GUI thread.
    using ResultPoster = std::function<void(const FrameResult& result)>;

    // Starts the worker; does nothing while one runs.
    void StartWorker(ResultPoster postResult);
    // Stops and joins the worker; it sees the request at once, or after the frame in hand.
    void StopWorker();
    bool IsWorkerRunning() const { return m_worker.joinable(); }

    // Slides the two-block sample buffer: the newer block becomes the older, block the newer.
    // Only the block is copied: the buffer is a ring of two halves.
    void ShiftInBlock(std::span<const std::int16_t> block);

    // Hands the current two blocks to the worker. False, and nothing changes, when the worker
    // is still busy with an earlier frame (the block is dropped) or there is no transform.
    bool OfferFrame(std::uint64_t tag = 0);

    // Analyses the current two blocks on the calling thread and returns the frequency; for
    // callers without a worker (nothing when there is no transform or a worker runs).
    std::optional<double> AnalyseNow();
    // The same, with the whole result.
    std::optional<FrameResult> AnalyseFrameNow(std::uint64_t tag = 0);

    // Whether frames offered from now on have their octave checked; GUI thread only.
    void SetOctaveCheck(bool on) { m_bOctaveCheck = on; }
    // Blocks shifted in so far.
    std::uint64_t Blocks() const { return m_nBlocks; }

    bool IsBusy() const { return m_nReady.load(std::memory_order_acquire) != 0; }
    double Result() const { return m_dResult.load(std::memory_order_acquire); }

    // Waits until the worker has finished the offered frame; false on time-out.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

    // A copy of the sample buffer, oldest sample first.
    std::vector<std::int16_t> Samples() const;

private:
    void WorkerLoop(std::stop_token stop);
    void PrepareFrame();
    void AnalyseFrame();
    void TakeFrame(std::uint64_t tag);

    const NoteTable& m_notes;
    std::atomic<int> m_nReady{0};
    std::atomic<double> m_dResult{0.0};
    bool m_bOctaveCheck = false;
    std::uint64_t m_nBlocks = 0; // GUI thread only
    // Handed over with the frame, through the ready flag.
    FrameResult m_frame;
    bool m_bCheckFrame = false;
    ResultPoster m_postResult;
    // Pairs with m_wake so that an offered frame or a stop wakes the worker at once. A plain
    // condition variable woken by StopWorker, rather than a wait on the stop token, whose
    // stop callback ThreadSanitizer reports as a race inside the standard library.
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;

    mutable std::mutex m_mutex; // guards m_samples and m_nNewer; taken on the GUI thread only
    std::array<std::int16_t, kFrameSamples> m_samples{};
    int m_nNewer = 1; // the half that holds the newer block
    CFft m_fft;
    std::vector<double> m_spectrum;

    std::jthread m_worker;
};
