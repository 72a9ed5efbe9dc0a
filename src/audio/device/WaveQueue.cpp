#include "WaveQueue.h"

#include "Messages.h"
#include "PostEvent.h"

#include <algorithm>

WaveResult WaveQueue::Prepare(WaveHeader& header) {
    header.flags = (header.flags | WHDR_PREPARED) & ~WHDR_DONE;
    return WAVE_NOERROR;
}

WaveResult WaveQueue::Unprepare(WaveHeader& header) {
    header.flags &= ~WHDR_PREPARED;
    return WAVE_NOERROR;
}

WaveResult WaveQueue::Enqueue(WaveHeader& header) {
    if (!header.data || header.length <= 0) {
        return WAVE_ERR_OPEN;
    }
    header.flags = (header.flags | WHDR_INQUEUE) & ~WHDR_DONE;
    header.recorded = 0;
    header.generation = ++m_nGeneration;
    m_queue.push_back(&header);
    return WAVE_NOERROR;
}

void WaveQueue::ReturnAll() {
    for (WaveHeader* header : m_queue) {
        header->flags = (header->flags | WHDR_DONE) & ~WHDR_INQUEUE;
        header->generation = ++m_nGeneration; // its notification, if posted, is stale now
    }
    m_queue.clear();
    m_headBytes = 0;
}

void WaveQueue::Finish() {
    WaveHeader* header = m_queue.front();
    m_queue.pop_front();
    m_headBytes = 0;
    header->recorded = header->length;
    header->flags = (header->flags | WHDR_DONE) & ~WHDR_INQUEUE;
    if (m_notify) {
        PostEvent(m_notify, new WaveDoneEvent(m_doneEvent, header, header->generation));
    }
}

std::span<char> WaveQueue::HeadBytes() const {
    if (m_queue.empty()) {
        return {};
    }
    const WaveHeader* header = m_queue.front();
    auto* bytes = reinterpret_cast<char*>(header->data);
    const std::size_t total = static_cast<std::size_t>(header->length) * sizeof(std::int16_t);
    return {bytes + m_headBytes, total - m_headBytes};
}

void WaveQueue::Advance(std::size_t bytes) {
    if (m_queue.empty()) {
        return;
    }
    const std::size_t total =
        static_cast<std::size_t>(m_queue.front()->length) * sizeof(std::int16_t);
    m_headBytes = std::min(total, m_headBytes + bytes);
    m_queue.front()->recorded = static_cast<int>(m_headBytes / sizeof(std::int16_t));
    if (m_headBytes == total) {
        Finish();
    }
}

void WaveQueue::ReportError(WaveResult code) {
    if (m_notify) {
        PostEvent(m_notify, new WaveErrorEvent(m_errorEvent, code));
    }
}

void WaveQueue::Post(QEvent::Type type) {
    if (m_notify) {
        PostEvent(m_notify, new QEvent(type));
    }
}
