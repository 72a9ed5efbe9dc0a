#include "PulseWaveOut.h"

#include "Messages.h"
#include "PulseStreams.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

PulseWaveOut::PulseWaveOut(double aheadSeconds)
    : QueuedWaveDevice(MM_WOM_DONE, MM_WOM_ERROR), m_connection(PulseConnection::Shared()),
      m_dAhead(aheadSeconds) {}

PulseWaveOut::~PulseWaveOut() {
    Close();
}

WaveResult PulseWaveOut::Open(QObject* notify) {
    PulseConnection::Lock lock(*m_connection);
    if (m_stream) {
        return WAVE_ERR_OPEN;
    }
    pa_context* context = m_connection->ReadyContext();
    if (!context) {
        return WAVE_ERR_NODEVICE;
    }
    const pa_sample_spec spec = BlockSampleSpec();
    m_stream = NewBlockStream(context, "Quavelorin tone");
    if (!m_stream) {
        return WAVE_ERR_OPEN;
    }
    pa_stream_set_state_callback(m_stream, &PulseWaveOut::OnState, this);
    pa_stream_set_write_callback(
        m_stream,
        [](pa_stream*, std::size_t bytes, void* self) {
            static_cast<PulseWaveOut*>(self)->Pump(bytes);
        },
        this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(m_dAhead * PA_USEC_PER_SEC), &spec));
    attr.prebuf = attr.minreq = attr.fragsize = static_cast<std::uint32_t>(-1);
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_NOFLAGS, nullptr, nullptr) <
        0) {
        ReleaseStream(m_stream);
        return WAVE_ERR_OPEN;
    }
    m_queue.SetNotify(notify);
    m_bFailed = false;
    return WAVE_NOERROR;
}

WaveResult PulseWaveOut::Write(WaveHeader& header) {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    if (!m_bFailed && pa_stream_get_state(m_stream) == PA_STREAM_READY) {
        const std::size_t room = pa_stream_writable_size(m_stream);
        if (room != static_cast<std::size_t>(-1)) {
            Pump(room);
        }
    }
    return result;
}

WaveResult PulseWaveOut::Reset() {
    PulseConnection::Lock lock(*m_connection);
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult PulseWaveOut::Close() {
    PulseConnection::Lock lock(*m_connection);
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    ReleaseStream(m_stream);
    return WAVE_NOERROR;
}

// Hands the server up to bytes from the queued buffers, oldest first.
void PulseWaveOut::Pump(std::size_t bytes) {
    while (bytes > 0 && m_stream && !m_bFailed) {
        const std::span<char> pending = m_queue.HeadBytes();
        if (pending.empty()) {
            return;
        }
        const std::size_t count = std::min(bytes, pending.size());
        if (pa_stream_write(m_stream, pending.data(), count, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            return;
        }
        bytes -= count;
        m_queue.Advance(count);
    }
}

void PulseWaveOut::OnState(pa_stream* stream, void* self) {
    auto* device = static_cast<PulseWaveOut*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if ((state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) && !device->m_bFailed) {
        device->m_bFailed = true;
        device->m_queue.ReportError(WAVE_ERR_ERROR);
    }
}
