#include "PulseWaveOut.h"

#include "Messages.h"
#include "PulseStreams.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <utility>

PulseWaveOut::PulseWaveOut(double aheadSeconds)
    : QueuedWaveDevice(MM_WOM_DONE, MM_WOM_ERROR), m_connection(PulseConnection::Shared()),
      m_dAhead(aheadSeconds), m_stream(m_connection, m_queue) {}

PulseWaveOut::~PulseWaveOut() {
    Close();
    PulseConnection::Lock lock(*m_connection);
    ReleaseDrained();
}

WaveResult PulseWaveOut::Open(QObject* notify) {
    PulseConnection::Lock lock(*m_connection);
    if (const WaveResult made = m_stream.Make("Quavelorin tone"); made != WAVE_NOERROR) {
        return made;
    }
    pa_stream_set_write_callback(
        m_stream.Get(),
        [](pa_stream*, std::size_t bytes, void* self) {
            static_cast<PulseWaveOut*>(self)->Pump(bytes);
        },
        this);
    const pa_sample_spec spec = BlockSampleSpec();
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(
        pa_usec_to_bytes(static_cast<pa_usec_t>(m_dAhead * PA_USEC_PER_SEC), &spec));
    attr.prebuf = attr.minreq = attr.fragsize = static_cast<std::uint32_t>(-1);
    if (pa_stream_connect_playback(m_stream.Get(), nullptr, &attr, PA_STREAM_NOFLAGS, nullptr,
                                   nullptr) < 0) {
        m_stream.Release();
        return WAVE_ERR_OPEN;
    }
    m_stream.Opened(notify);
    return WAVE_NOERROR;
}

WaveResult PulseWaveOut::Write(WaveHeader& header) {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream.Get()) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    if (m_stream.IsReady()) {
        const std::size_t room = pa_stream_writable_size(m_stream.Get());
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
    m_stream.Release();
    return WAVE_NOERROR;
}

WaveResult PulseWaveOut::CloseAfterPlaying() {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream.IsReady()) {
        m_stream.Release();
        return WAVE_NOERROR;
    }
    ReleaseDrained(); // one tail plays out at a time; an earlier one is let go
    m_draining = m_stream.Detach();
    m_drain = pa_stream_drain(
        m_draining,
        [](pa_stream*, int, void* self) {
            auto* device = static_cast<PulseWaveOut*>(self);
            Forget(std::exchange(device->m_drain, nullptr)); // finishing: nothing to cancel
            ReleaseStream(device->m_draining);
        },
        this);
    if (!m_drain) {
        ReleaseDrained();
    }
    return WAVE_NOERROR;
}

void PulseWaveOut::ReleaseDrained() {
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(m_drain);
        m_drain = nullptr;
    }
    ReleaseStream(m_draining);
}

// Hands the server up to bytes from the queued buffers, oldest first.
void PulseWaveOut::Pump(std::size_t bytes) {
    while (bytes > 0 && m_stream.IsLive()) {
        const std::span<char> pending = m_queue.HeadBytes();
        if (pending.empty()) {
            return;
        }
        const std::size_t count = std::min(bytes, pending.size());
        if (pa_stream_write(m_stream.Get(), pending.data(), count, nullptr, 0, PA_SEEK_RELATIVE) <
            0) {
            return;
        }
        bytes -= count;
        m_queue.Advance(count);
    }
}
