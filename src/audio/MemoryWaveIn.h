#pragma once

#include "QueuedWaveDevice.h"

#include <span>

// A capture device in memory: whatever the test feeds fills the queued buffers, exactly as a
// sound card would, with one posted MM_WIM_DATA per full buffer.
class MemoryWaveIn : public QueuedWaveDevice<IWaveIn> {
public:
    MemoryWaveIn();

    WaveResult Open(QObject* notify) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Close() override;

    // Samples "arriving at the microphone"; ignored unless the device is open and started.
    void Feed(std::span<const std::int16_t> samples);

    // The next Open fails with this code (WAVE_NOERROR: it succeeds).
    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }

    bool IsOpen() const { return m_bOpen; }
    bool IsStarted() const { return m_bStarted; }
    int OpenCount() const { return m_nOpens; }
    bool HasQueuedBuffers() const { return !m_queue.IsEmpty(); }

private:
    WaveResult m_failOpen = WAVE_NOERROR;
    bool m_bOpen = false;
    bool m_bStarted = false;
    int m_nOpens = 0;
};
