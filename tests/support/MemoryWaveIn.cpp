#include "MemoryWaveIn.h"

#include "Messages.h"

#include <algorithm>
#include <cstring>

MemoryWaveIn::MemoryWaveIn() : MemoryWaveDevice(MM_WIM_DATA, MM_WIM_ERROR) {}

WaveResult MemoryWaveIn::Open(QObject* notify) {
    ++m_nOpens;
    return MemoryWaveDevice::Open(notify);
}

WaveResult MemoryWaveIn::AddBuffer(WaveHeader& header) {
    return m_bOpen ? m_queue.Enqueue(header) : WAVE_ERR_OPEN;
}

WaveResult MemoryWaveIn::Start() {
    m_bStarted = m_bOpen;
    return m_bOpen ? WAVE_NOERROR : WAVE_ERR_OPEN;
}

WaveResult MemoryWaveIn::Reset() {
    m_bStarted = false;
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult MemoryWaveIn::Close() {
    CloseDevice();
    m_bStarted = false;
    return WAVE_NOERROR;
}

void MemoryWaveIn::Feed(std::span<const std::int16_t> samples) {
    if (!m_bOpen || !m_bStarted || m_bBroken) {
        return;
    }
    // Into the queued buffers in order; what finds no buffer is dropped.
    auto bytes = std::as_bytes(samples);
    while (!bytes.empty()) {
        const std::span<char> room = m_queue.HeadBytes();
        if (room.empty()) {
            return;
        }
        const std::size_t count = std::min(room.size(), bytes.size());
        std::memcpy(room.data(), bytes.data(), count);
        Tap(room.first(count));
        bytes = bytes.subspan(count);
        m_queue.Advance(count);
    }
}
