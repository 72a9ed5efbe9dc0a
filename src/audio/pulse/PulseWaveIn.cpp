#include "PulseWaveIn.h"

#include "Messages.h"
#include "PostEvent.h"
#include "PulseStreams.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr std::size_t kBlockBytes = kBlockSamples * sizeof(std::int16_t);

} // namespace

PulseWaveIn::PulseWaveIn()
    : QueuedWaveDevice(MM_WIM_DATA, MM_WIM_ERROR), m_connection(PulseConnection::Shared()),
      m_stream(m_connection, m_queue) {
    m_stream.SetReadyHook([this] { Follow(); });
    m_stream.SetFailureHook([this] {
        m_bStarted = false;
        // A stream that was heard and is gone while the server stays: its picked source was
        // removed, and the default may well open now. So is one that opened on a picked source
        // while the server was removing it, as the server's word of it came in: the stream
        // could not follow the word before it was ready. One that never delivered, with no
        // word since it opened, failed for a lasting reason and waits for the server's next
        // word, so it cannot retry in a loop.
        if ((m_bHeard || m_bServerChanged) && m_connection->ReadyContext()) {
            PostAvailable();
        }
    });
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
    if (m_stream.Get()) {
        return WAVE_ERR_OPEN;
    }
    const std::string source = m_connection->CaptureSource(m_preferred);
    if (m_connection->ReadyContext() && source.empty()) {
        return WAVE_ERR_NODEVICE; // monitors only: no microphone
    }
    if (const WaveResult made = m_stream.Make("Quavelorin input"); made != WAVE_NOERROR) {
        return made;
    }
    pa_stream* stream = m_stream.Get();
    pa_stream_set_read_callback(
        stream,
        [](pa_stream*, std::size_t, void* self) {
            auto* device = static_cast<PulseWaveIn*>(self);
            if (!device->m_bOnMonitor) {
                ++device->m_nFragments;
                device->m_bHeard = true;
            }
            device->Drain();
        },
        this);
    pa_stream_set_moved_callback(
        stream, [](pa_stream*, void* self) { static_cast<PulseWaveIn*>(self)->Follow(); }, this);

    // A sixteenth of a block (23 ms) at a time: a block is complete soon after its last sample
    // was heard, and the strobe's tap sees the sound while it is still fresh.
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = kBlockBytes / 16;
    attr.tlength = attr.prebuf = attr.minreq = static_cast<std::uint32_t>(-1);
    const bool picked = !m_preferred.empty() && source == m_preferred;
    auto flags = PA_STREAM_ADJUST_LATENCY;
    if (picked) {
        flags = static_cast<pa_stream_flags_t>(flags | PA_STREAM_DONT_MOVE);
    }
    // The default is left to the server, named only when it is a monitor.
    const bool named = picked || source != m_connection->DefaultSource();
    if (pa_stream_connect_record(stream, named ? source.c_str() : nullptr, &attr, flags) < 0) {
        m_stream.Release();
        return WAVE_ERR_OPEN;
    }
    m_stream.Opened(notify);
    m_bStarted = false;
    m_bHeard = false;
    m_bServerChanged = false;
    m_bOnMonitor = false;
    m_bDropping = false;
    m_nPeeked = 0;
    m_nFragments = m_nFragmentsChecked = 0;
    m_nQuietTicks = 0;
    m_stallTimer = m_connection->StartTimer(
        kStallCheckInterval,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            static_cast<PulseWaveIn*>(self)->CheckStall();
        },
        this);
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::AddBuffer(WaveHeader& header) {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream.Get()) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    Drain(); // sound that waited for a buffer
    return result;
}

WaveResult PulseWaveIn::Start() {
    PulseConnection::Lock lock(*m_connection);
    if (!m_stream.IsLive()) {
        return WAVE_ERR_OPEN;
    }
    m_bStarted = true;
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::Reset() {
    PulseConnection::Lock lock(*m_connection);
    m_bStarted = false;
    if (m_stream.IsLive()) {
        DropAll();
    }
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult PulseWaveIn::Close() {
    PulseConnection::Lock lock(*m_connection);
    m_bStarted = false;
    m_connection->StopTimer(m_stallTimer);
    m_stream.Release();
    return WAVE_NOERROR;
}

// Copies what the stream holds into the queued buffers, in order; a fragment larger than the
// room left is taken in parts across buffers.
void PulseWaveIn::Drain() {
    if (!m_stream.IsLive()) {
        return;
    }
    if (!m_bStarted || m_bOnMonitor) {
        DropAll(); // before Start, as a sound card would; a monitor is not a microphone
        return;
    }
    pa_stream* stream = m_stream.Get();
    for (;;) {
        const std::span<char> room = m_queue.HeadBytes();
        if (room.empty()) {
            DropBeyondLimit();
            return;
        }
        m_bDropping = false; // a buffer is back: any stretch of loss has ended
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) {
            return;
        }
        const std::size_t take = std::min(bytes - m_nPeeked, room.size());
        if (data) {
            std::memcpy(room.data(), static_cast<const char*>(data) + m_nPeeked, take);
        } else {
            std::memset(room.data(), 0, take); // a hole in the recording reads as silence
        }
        Tap(room.first(take));
        m_nPeeked += take;
        if (m_nPeeked == bytes) {
            pa_stream_drop(stream);
            m_nPeeked = 0;
        }
        m_queue.Advance(take);
    }
}

void PulseWaveIn::DropBeyondLimit() {
    pa_stream* stream = m_stream.Get();
    const std::size_t limit = kMaxPendingBlocks * kBlockBytes;
    bool dropped = false;
    for (;;) {
        const std::size_t readable = pa_stream_readable_size(stream);
        if (readable == static_cast<std::size_t>(-1) || readable - m_nPeeked <= limit) {
            break;
        }
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0) {
            break;
        }
        pa_stream_drop(stream);
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
    pa_stream* stream = m_stream.Get();
    const void* data = nullptr;
    std::size_t bytes = 0;
    while (pa_stream_peek(stream, &data, &bytes) >= 0 && bytes > 0) {
        pa_stream_drop(stream);
    }
    m_nPeeked = 0;
}

// Every check interval while open: a started stream that delivered nothing for kStallTicks
// checks in a row is said to have stalled, once until it delivers again.
void PulseWaveIn::CheckStall() {
    m_connection->RestartTimer(m_stallTimer, kStallCheckInterval);
    if (!m_bStarted || !m_stream.IsLive() || m_nFragments != m_nFragmentsChecked) {
        m_nFragmentsChecked = m_nFragments;
        m_nQuietTicks = 0;
        return;
    }
    if (++m_nQuietTicks == kStallTicks) {
        m_queue.Post(MM_WIM_STALLED);
    }
}

void PulseWaveIn::PostAvailable() {
    if (m_pWatcher) {
        PostEvent(m_pWatcher, new QEvent(MM_WIM_AVAILABLE));
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
    if (!m_stream.IsLive()) {
        if (m_connection->ReadyContext()) {
            PostAvailable();
        }
        return;
    }
    m_bServerChanged = true;
    Follow();
}

// Keeps a live stream on the source it should be on: the picked one while it exists, else
// the server's default, never a monitor. Also when the stream becomes ready and when the
// server moved it: a stream the server restored elsewhere comes back, and one rescued to a
// monitor stops.
void PulseWaveIn::Follow() {
    if (!m_stream.IsReady()) {
        return;
    }
    pa_stream* stream = m_stream.Get();
    const char* current = pa_stream_get_device_name(stream);
    m_bOnMonitor = current && m_connection->IsMonitor(current);
    const std::string wanted = m_connection->CaptureSource(m_preferred);
    if (wanted.empty()) {
        if (m_bOnMonitor) {
            m_stream.Fail(WAVE_ERR_NODEVICE); // the last microphone went
        }
        return;
    }
    if (current && wanted == current) {
        return;
    }
    Forget(pa_context_move_source_output_by_name(m_connection->ReadyContext(),
                                                 pa_stream_get_index(stream), wanted.c_str(),
                                                 nullptr, nullptr));
}
