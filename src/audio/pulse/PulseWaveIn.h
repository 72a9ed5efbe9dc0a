#pragma once

#include "PulseStream.h"
#include "QueuedWaveDevice.h"

#include <atomic>
#include <memory>

// Capture through the sound server's own client library. The library's callback copies what
// the server sends straight into the queued buffers. With no buffer queued the sound waits in
// the stream, up to kMaxPendingBlocks blocks; only beyond that is the oldest dropped, counted,
// and said once on stderr.
//
// With no source picked (or the picked one absent) the stream records from the server's
// default source and follows it when the desktop changes it; a picked source is kept, and
// when it comes back after being away the stream moves back to it. A monitor (what a sink
// plays) is never recorded from: when nothing else is left, capture stops with
// WAVE_ERR_NODEVICE. A stream that had been delivering and stops while the server stays (its
// picked source was removed) tells the watcher at once that opening may succeed again. A
// started stream that delivers nothing for kStallTicks checks in a row posts MM_WIM_STALLED,
// once until sound comes again.
//
// All calls come from the GUI thread and take the loop's lock; the stream's callbacks run on
// the loop's thread.
class PulseWaveIn : public QueuedWaveDevice<IWaveIn>, private PulseConnection::Client {
public:
    static constexpr int kMaxPendingBlocks = 2;
    static constexpr pa_usec_t kStallCheckInterval = 500 * 1000;
    static constexpr int kStallTicks = 3;

    PulseWaveIn();
    ~PulseWaveIn() override;

    WaveResult Open(QObject* notify) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Close() override;

    bool WatchAvailability(QObject* watcher) override;
    std::vector<WaveSource> Sources() const override;
    void SetPreferredSource(const std::string& name) override;
    std::uint64_t LostStretches() const override { return m_nLost.load(); }

private:
    void Drain();
    void DropBeyondLimit();
    void DropAll();
    void Follow();
    void CheckStall();
    void PostAvailable();
    void ServerChanged() override;

    std::shared_ptr<PulseConnection> m_connection;
    // With the loop locked:
    PulseStream m_stream;
    bool m_bStarted = false;
    bool m_bHeard = false;         // the stream delivered sound since it opened
    bool m_bServerChanged = false; // the server's sources or default changed since it opened
    bool m_bOnMonitor = false;     // the server moved the stream to a monitor
    std::size_t m_nPeeked = 0;     // bytes of the stream's current fragment already copied
    bool m_bDropping = false;      // within a stretch of lost sound
    pa_time_event* m_stallTimer = nullptr;
    std::uint64_t m_nFragments = 0; // fragments delivered since open
    std::uint64_t m_nFragmentsChecked = 0;
    int m_nQuietTicks = 0;
    QObject* m_pWatcher = nullptr;
    std::string m_preferred;
    std::atomic<std::uint64_t> m_nLost{0};
};
