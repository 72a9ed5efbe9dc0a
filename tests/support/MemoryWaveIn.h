#pragma once

#include "MemoryWaveDevice.h"

#include <span>

// A capture device in memory: whatever the test feeds fills the queued buffers, exactly as a
// sound card would, with one posted MM_WIM_DATA per full buffer.
class MemoryWaveIn : public MemoryWaveDevice<IWaveIn> {
public:
    MemoryWaveIn();

    WaveResult Open(QObject* notify) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Close() override;

    // Samples "arriving at the microphone"; ignored unless the device is open and started.
    void Feed(std::span<const std::int16_t> samples);

    int OpenCount() const { return m_nOpens; }

private:
    bool m_bStarted = false;
    int m_nOpens = 0;
};
