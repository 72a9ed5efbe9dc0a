#pragma once

#include "WaveDevice.h"
#include "WaveQueue.h"

#include <span>

// A capture device in memory: whatever the test feeds fills the queued buffers, exactly as a
// sound card would, with one posted MM_WIM_DATA per full buffer.
class MemoryWaveIn : public IWaveIn {
public:
    MemoryWaveIn();

    WaveResult Open(QObject* notify) override;
    WaveResult Prepare(WaveHeader& header) override { return m_queue.Prepare(header); }
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Unprepare(WaveHeader& header) override { return m_queue.Unprepare(header); }
    WaveResult Close() override;
    QString ErrorText(WaveResult code) const override { return WaveErrorText(code); }

    // Samples "arriving at the microphone"; ignored unless the device is open and started.
    void Feed(std::span<const std::int16_t> samples);

    // The next Open fails with this code (WAVE_NOERROR: it succeeds).
    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }

    bool IsOpen() const { return m_bOpen; }
    bool IsStarted() const { return m_bStarted; }
    int OpenCount() const { return m_nOpens; }
    bool HasQueuedBuffers() const { return !m_queue.IsEmpty(); }

private:
    WaveQueue m_queue;
    WaveResult m_failOpen = WAVE_NOERROR;
    bool m_bOpen = false;
    bool m_bStarted = false;
    int m_nOpens = 0;
};
