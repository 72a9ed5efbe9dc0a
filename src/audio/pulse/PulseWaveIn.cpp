#include "PulseWaveIn.h"

#include "Messages.h"
#include "PulseStreams.h"

#include <QCoreApplication>

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kBlockBytes = kBlockSamples * sizeof(std::int16_t);

} // namespace

PulseWaveIn::PulseWaveIn()
    : QueuedWaveDevice(MM_WIM_DATA, MM_WIM_ERROR), m_connection(PulseConnection::Shared()) {
    PulseConnection::Lock lock(*m_connection);
    m_connection->AddClient(this);
}

PulseWaveIn::~PulseWaveIn() {
    Close();
    PulseConnection::Lock lock(*m_connection);
    m_connection->RemoveClient(this);
}

WaveResult PulseWaveIn::Open(QObject* notify) {
    PulseConnection::Lock lock(*m_connection);
    if (m_stream) {
        return WAVE_ERR_OPEN;
    }
    pa_context* context = m_connection->ReadyContext();
    if (!context) {
        return WAVE_ERR_NODEVICE;
    }
    m_stream = NewBlockStream(context, "Quavelorin input");
    if (!m_stream) {
        return WAVE_ERR_OPEN;
    }
    pa_stream_set_state_callback(m_stream, &PulseWaveIn::OnState, this);
    pa_stream_set_read_callback(
        m_stream,
        [](pa_stream*, std::size_t, void* self) { static_cast<PulseWaveIn*>(self)->Drain(); },
        this);

    // A quarter block at a time: few wake-ups, and a block is complete soon after its last
    // sample was heard.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = kBlockBytes / 4;
    attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
    const bool picked = !m_preferred.empty() && m_connection->HasSource(m_preferred);
    auto flags = PA_STREAM_ADJUST_LATENCY;
    if (picked) {
        flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
    }
    if (pa_stream_connect_record(m_stream, picked ? m_preferred.c_str() : nullptr, &attr, flags) <
        0) {
        ReleaseStream(m_stream);
        return WAVE_ERR_OPEN;
    }
    m_queue.SetNotify(notify);
    m_bStarted = false;
    m_bFailed = false;
    m_bDropping = false;
    m_nPeeked = 0;
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::AddBuffer(WaveHeader& header) {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    Drain(); // sound that waited for a buffer
    return result;
}

WaveResult PulseWaveIn::Start() {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream || m_bFailed) {
        return WAVE_ERR_OPEN;
    }
    m_bStarted = true;
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::Reset() {
    PulseConnection::Lock lock(*m_connection);
    m_bStarted = false;
    if (m_stream && !m_bFailed) {
        DropAll();
    }
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::Close() {
    PulseConnection::Lock lock(*m_connection);
    m_bStarted = false;
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    ReleaseStream(m_stream);
    return WAVE_NOERROR;
}

// Copies what the stream holds into the queued buffers, in order; a fragment larger than the
// room left is taken in parts across buffers.
void PulseWaveIn::Drain() {
    if (!m_stream || m_bFailed) {
        return;
    }
    if (!m_bStarted) {
        DropAll(); // before Start, as a sound card would
        return;
    }
    for (;;) {
        const std::span<char> room = m_queue.HeadBytes();
        if (room.empty()) {
            DropBeyondLimit();
            return;
        }
        m_bDropping = false; // a buffer is back: any stretch of loss has ended
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0 || bytes == 0) {
            return;
        }
        const std::size_t take = std::min(bytes - m_nPeeked, room.size());
        if (data) {
            std::memcpy(room.data(), static_cast<const char*>(data) + m_nPeeked, take);
        } else {
            std::memset(room.data(), 0, take); // a hole in the recording reads as silence
        }
        m_nPeeked += take;
        if (m_nPeeked == bytes) {
            pa_stream_drop(m_stream);
            m_nPeeked = 0;
        }
        m_queue.Advance(take);
    }
}

void PulseWaveIn::DropBeyondLimit() {
    const std::size_t limit = kMaxPendingBlocks * kBlockBytes;
    bool dropped = false;
    for (;;) {
        const std::size_t readable = pa_stream_readable_size(m_stream);
        if (readable == static_cast<std::size_t>(-1) || readable - m_nPeeked <= limit) {
            break;
        }
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(m_stream, &data, &bytes) < 0 || bytes == 0) {
            break;
        }
        pa_stream_drop(m_stream);
        m_nPeeked = 0;
        dropped = true;
    }
    if (!dropped || std::exchange(m_bDropping, true)) {
        return; // nothing dropped, or the same stretch as before
    }
    if (m_nLost.fetch_add(1) == 0) {
        std::fputs("Quavelorin: captured sound was lost: its buffers were not returned in time\n",
                   stderr);
    }
}

void PulseWaveIn::DropAll() {
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_peek(m_stream, &data, &bytes) >= 0 && bytes > 0) {
        pa_stream_drop(m_stream);
    }
    m_nPeeked = 0;
}

void PulseWaveIn::OnState(pa_stream* stream, void* self) {
    auto* device = static_cast<PulseWaveIn*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if ((state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) && !device->m_bFailed) {
        // The server went away, or the picked source was removed: once, then nothing more.
        device->m_bFailed = true;
        device->m_bStarted = false;
        device->m_queue.ReportError(WAVE_ERR_ERROR);
    }
}

bool PulseWaveIn::WatchAvailability(QObject* watcher) {
    PulseConnection::Lock lock(*m_connection);
    m_pWatcher = watcher;
    return true;
}

std::vector<WaveSource> PulseWaveIn::Sources() const {
    std::vector<WaveSource> sources;
    for (const PulseConnection::Source& source : m_connection->Sources()) {
        sources.push_back({source.name, source.description});
    }
    return sources;
}

void PulseWaveIn::SetPreferredSource(const std::string& name) {
    PulseConnection::Lock lock(*m_connection);
    m_preferred = name;
}

void PulseWaveIn::ServerChanged() {
    if (!m_stream || m_bFailed) {
        if (m_pWatcher && m_connection->ReadyContext()) {
            QCoreApplication::postEvent(m_pWatcher, new QEvent(MM_WIM_AVAILABLE));
        }
        return;
    }
    Follow();
}

// Keeps a live stream on the source it should be on: the picked one while it exists, else
// the server's default.
void PulseWaveIn::Follow() {
    if (pa_stream_get_state(m_stream) != PA_STREAM_READY) {
        return;
    }
    const std::string wanted = !m_preferred.empty() && m_connection->HasSource(m_preferred)
                                   ? m_preferred
                                   : m_connection->DefaultSource();
    const char* current = pa_stream_get_device_name(m_stream);
    if (wanted.empty() || (current && wanted == current)) {
        return;
    }
    Forget(pa_context_move_source_output_by_name(m_connection->ReadyContext(),
                                                 pa_stream_get_index(m_stream), wanted.c_str(),
                                                 nullptr, nullptr));
}
