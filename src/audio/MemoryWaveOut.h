#pragma once

#include "QueuedWaveDevice.h"

#include <vector>

// An output device in memory: the test decides when queued buffers have "played"; what they
// held is kept in order, and each played buffer posts MM_WOM_DONE.
class MemoryWaveOut : public QueuedWaveDevice<IWaveOut> {
public:
    MemoryWaveOut();

    WaveResult Open(QObject* notify) override;
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Close() override;

    // Plays up to count whole buffers from the queue; returns how many were played.
    int PlayBuffers(int count);

    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }

    bool IsOpen() const { return m_bOpen; }
    int QueuedBuffers() const { return m_nQueued; }
    const std::vector<std::int16_t>& Played() const { return m_played; }

private:
    WaveResult m_failOpen = WAVE_NOERROR;
    bool m_bOpen = false;
    int m_nQueued = 0;
    std::vector<std::int16_t> m_played;
};
