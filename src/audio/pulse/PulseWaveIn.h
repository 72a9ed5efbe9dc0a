#pragma once

#include "PulseConnection.h"
#include "QueuedWaveDevice.h"

#include <atomic>
#include <memory>

struct pa_stream;

// Capture through the sound server's own client library. The library's callback copies what
// the server sends straight into the queued buffers. With no buffer queued the sound waits in
// the stream, up to kMaxPendingBlocks blocks; only beyond that is the oldest dropped, counted,
// and said once on stderr.
//
// With no source picked (or the picked one absent) the stream records from the server's
// default source and follows it when the desktop changes it; a picked source is kept, and
// when it comes back after being away the stream moves back to it. All calls come from the
// GUI thread and take the loop's lock; the stream's callbacks run on the loop's thread.
class PulseWaveIn : public QueuedWaveDevice<IWaveIn>, private PulseConnection::Client {
public:
    static constexpr int kMaxPendingBlocks = 2;

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
    void ServerChanged() override;
    static void OnState(pa_stream* stream, void* self);

    std::shared_ptr<PulseConnection> m_connection;
    // With the loop locked:
    pa_stream* m_stream = nullptr;
    bool m_bStarted = false;
    bool m_bFailed = false;
    std::size_t m_nPeeked = 0; // bytes of the stream's current fragment already copied
    bool m_bDropping = false;  // within a stretch of lost sound
    QObject* m_pWatcher = nullptr;
    std::string m_preferred;
    std::atomic<std::uint64_t> m_nLost{0};
};
