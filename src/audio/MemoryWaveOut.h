#pragma once

#include "WaveDevice.h"
#include "WaveQueue.h"

#include <vector>

// An output device in memory: the test decides when queued buffers have "played"; what they
// held is kept in order, and each played buffer posts MM_WOM_DONE.
class MemoryWaveOut : public IWaveOut {
public:
    MemoryWaveOut();

    WaveResult Open(QObject* notify) override;
    WaveResult Prepare(WaveHeader& header) override { return m_queue.Prepare(header); }
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Unprepare(WaveHeader& header) override { return m_queue.Unprepare(header); }
    WaveResult Close() override;
    QString ErrorText(WaveResult code) const override { return WaveErrorText(code); }

    // Plays up to count whole buffers from the queue; returns how many were played.
    int PlayBuffers(int count);

    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }

    bool IsOpen() const { return m_bOpen; }
    int QueuedBuffers() const { return m_nQueued; }
    const std::vector<std::int16_t>& Played() const { return m_played; }

private:
    WaveQueue m_queue;
    WaveResult m_failOpen = WAVE_NOERROR;
    bool m_bOpen = false;
    int m_nQueued = 0;
    std::vector<std::int16_t> m_played;
};
