#include "MemoryWaveOut.h"

#include "Messages.h"

#include <cstring>

MemoryWaveOut::MemoryWaveOut() : MemoryWaveDevice(MM_WOM_DONE, MM_WOM_ERROR) {}

WaveResult MemoryWaveOut::Write(WaveHeader& header) {
    if (!m_bOpen) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    if (result == WAVE_NOERROR) {
        ++m_nQueued;
    }
    return result;
}

WaveResult MemoryWaveOut::Reset() {
    m_queue.ReturnAll();
    m_nQueued = 0;
    return WAVE_NOERROR;
}

WaveResult MemoryWaveOut::Close() {
    CloseDevice();
    m_nQueued = 0;
    return WAVE_NOERROR;
}

int MemoryWaveOut::PlayBuffers(int count) {
    int played = 0;
    while (played < count && m_bOpen && !m_bBroken && !m_queue.HeadBytes().empty()) {
        const auto bytes = m_queue.HeadBytes();
        const std::size_t old = m_played.size();
        m_played.resize(old + bytes.size() / sizeof(std::int16_t));
        std::memcpy(m_played.data() + old, bytes.data(), bytes.size());
        m_queue.Advance(bytes.size());
        --m_nQueued;
        ++played;
    }
    return played;
}
