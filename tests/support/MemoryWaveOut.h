#pragma once

#include "MemoryWaveDevice.h"

#include <vector>

// An output device in memory: the test decides when queued buffers have "played"; what they
// held is kept in order, and each played buffer posts MM_WOM_DONE.
class MemoryWaveOut : public MemoryWaveDevice<IWaveOut> {
public:
    MemoryWaveOut();

    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Close() override;

    // Plays up to count whole buffers from the queue; returns how many were played.
    int PlayBuffers(int count);

    int QueuedBuffers() const { return m_nQueued; }
    const std::vector<std::int16_t>& Played() const { return m_played; }

private:
    int m_nQueued = 0;
    std::vector<std::int16_t> m_played;
};
