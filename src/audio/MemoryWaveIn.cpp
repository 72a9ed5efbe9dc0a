#include "MemoryWaveIn.h"

#include "Messages.h"

MemoryWaveIn::MemoryWaveIn() : QueuedWaveDevice(MM_WIM_DATA) {}

WaveResult MemoryWaveIn::Open(QObject* notify) {
    ++m_nOpens;
    if (m_failOpen != WAVE_NOERROR) {
        const WaveResult code = m_failOpen;
        m_failOpen = WAVE_NOERROR;
        return code;
    }
    m_queue.SetNotify(notify);
    m_bOpen = true;
    return WAVE_NOERROR;
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
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    m_bOpen = false;
    m_bStarted = false;
    return WAVE_NOERROR;
}

void MemoryWaveIn::Feed(std::span<const std::int16_t> samples) {
    if (m_bOpen && m_bStarted) {
        m_queue.Record(samples);
    }
}
