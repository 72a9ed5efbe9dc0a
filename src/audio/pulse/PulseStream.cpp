#include "PulseStream.h"

#include "PulseStreams.h"

#include <utility>

WaveResult PulseStream::Make(const char* name) {
    if (m_stream) {
        return WAVE_ERR_OPEN;
    }
    pa_context* context = m_connection->ReadyContext();
    if (!context) {
        return WAVE_ERR_NODEVICE;
    }
    m_stream = NewBlockStream(context, name);
    if (!m_stream) {
        return WAVE_ERR_OPEN;
    }
    m_bFailed = false;
    pa_stream_set_state_callback(m_stream, &PulseStream::OnState, this);
    return WAVE_NOERROR;
}

void PulseStream::Opened(QObject* notify) {
    m_queue.SetNotify(notify);
}

void PulseStream::Release() {
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    ReleaseStream(m_stream);
    m_bFailed = false;
}

pa_stream* PulseStream::Detach() {
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    pa_stream* stream = std::exchange(m_stream, nullptr);
    if (stream) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
    }
    m_bFailed = false;
    return stream;
}

void PulseStream::Fail(WaveResult code) {
    if (!m_stream || m_bFailed) {
        return;
    }
    m_bFailed = true;
    m_queue.ReportError(code);
    if (m_onFailure) {
        m_onFailure();
    }
}

void PulseStream::OnState(pa_stream* stream, void* self) {
    auto* owner = static_cast<PulseStream*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The server went away, or the device was removed.
        owner->Fail(WAVE_ERR_ERROR);
        break;
    case PA_STREAM_READY:
        if (owner->m_onReady) {
            owner->m_onReady();
        }
        break;
    default:
        break;
    }
}
