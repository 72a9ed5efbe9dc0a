#include "ToneOutput.h"

#include "DeviceError.h"
#include "Messages.h"

#include <algorithm>
#include <cstring>
#include <functional>

ToneOutput::ToneOutput(IWaveOut& device) : m_device(device) {
    for (int i = 0; i < 2; ++i) {
        m_headers[i].data = m_buffers[i].data();
    }
}

ToneOutput::~ToneOutput() {
    m_listener = nullptr;
    Stop();
}

bool ToneOutput::Start(bool silentFirst) {
    if (m_state == State::Playing) {
        return true;
    }
    const bool releasing = m_state == State::Releasing;
    if (releasing) {
        // The device stays open: the new tone follows what it has yet to play of the tail.
        m_device.Reset();
        const int left = m_nTailSound - std::min(m_headers[0].recorded, m_nTailSound);
        if (!RequeueRest()) {
            QueueRest(m_buffers[0].data() + m_nTailSound - left, left);
        }
    } else if (const WaveResult result = m_device.Open(m_pNotify); result != WAVE_NOERROR) {
        ShowDeviceError(result, m_device.ErrorText(result));
        return false;
    }
    m_state = State::Playing;
    for (int i = 0; i < 2; ++i) {
        Fill(i, silentFirst);
        m_headers[i].flags = 0;
        m_device.Prepare(m_headers[i]);
        m_device.Write(m_headers[i]);
    }
    if (!releasing && m_listener) {
        m_listener();
    }
    return true;
}

void ToneOutput::Release(const TailWriter& tail) {
    if (m_state != State::Playing) {
        return;
    }
    // What the device holds but has not been given is taken back. It plays the buffers in the
    // order they were filled, and was given a part of the first one it has not finished.
    m_device.Reset();
    int buffer = -1;
    int offset = 0;
    const int first = m_fills[0] < m_fills[1] ? 0 : 1;
    for (int i : {first, 1 - first}) {
        const WaveHeader& header = m_headers[static_cast<std::size_t>(i)];
        if (header.recorded < header.length) {
            buffer = i;
            offset = header.recorded;
            break;
        }
    }
    RequeueRest();
    // A whole block, so that a device that takes a block ahead of the speaker has played the
    // tail before the block counts as done.
    auto& samples = m_buffers[0];
    samples.fill(0);
    m_nTailSound = std::clamp(tail(buffer, offset, samples), 0, kBlockSamples);
    m_state = State::Releasing;
    WaveHeader& header = m_headers[0];
    header.flags = 0;
    m_device.Prepare(header);
    if (m_device.Write(header) != WAVE_NOERROR) {
        Stop();
    }
}

WaveResult ToneOutput::Close(bool afterPlaying) {
    if (m_state == State::Closed) {
        return WAVE_NOERROR;
    }
    m_device.Reset();
    QueueRest(nullptr, 0); // unprepares every buffer
    const WaveResult result = afterPlaying ? m_device.CloseAfterPlaying() : m_device.Close();
    m_state = State::Closed;
    if (m_listener) {
        m_listener();
    }
    return result;
}

bool ToneOutput::OnEvent(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == MM_WOM_DONE) {
        Refill(static_cast<WaveDoneEvent*>(e));
        return true;
    }
    if (type == MM_WOM_ERROR) {
        if (m_state != State::Closed) {
            Stop();
            const WaveResult code = static_cast<WaveErrorEvent*>(e)->Code();
            ShowDeviceError(code, m_device.ErrorText(code));
        }
        return true;
    }
    return false;
}

void ToneOutput::Refill(const WaveDoneEvent* done) {
    // A notification is matched by its stamp, never by the flags the device may be writing;
    // without one (a device that plays synchronously) the flags are the device's no more.
    const auto named = [done](const WaveHeader& header) {
        return done ? done->Names(header) : header.IsDone();
    };
    if (m_state == State::Releasing) {
        // Only the tail's block is queued now; notifications of the buffers taken back find it
        // still queued.
        if (named(m_headers[0])) {
            Close(true); // the server may still hold the fade: it plays out
        }
        return;
    }
    if (m_state != State::Playing) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        WaveHeader& header = m_headers[static_cast<std::size_t>(i)];
        if (named(header)) {
            Fill(i, false);
            m_device.Unprepare(header);
            m_device.Prepare(header);
            m_device.Write(header);
            return;
        }
    }
}

void ToneOutput::Fill(int buffer, bool silent) {
    const auto index = static_cast<std::size_t>(buffer);
    m_fills[index] = ++m_nFills;
    if (silent || !m_generator) {
        m_buffers[index].fill(0);
    } else {
        m_generator(buffer, m_buffers[index]);
    }
}

bool ToneOutput::RequeueRest() {
    // Queued before the tone that followed it, so nothing of that tone has played if this has
    // not: its own tail would be silence.
    const int left = m_nRest - std::min(m_restHeader.recorded, m_nRest);
    QueueRest(m_rest.data() + m_nRest - left, left);
    return left > 0;
}

void ToneOutput::QueueRest(const std::int16_t* samples, int count) {
    for (WaveHeader& header :
         {std::ref(m_headers[0]), std::ref(m_headers[1]), std::ref(m_restHeader)}) {
        m_device.Unprepare(header);
    }
    m_nRest = count;
    if (count > 0) {
        // Never reallocates while samples lie in the rest itself: there count <= its size.
        if (m_rest.size() < static_cast<std::size_t>(count)) {
            m_rest.resize(static_cast<std::size_t>(count));
        }
        std::memmove(m_rest.data(), samples, sizeof(std::int16_t) * std::size_t(count));
        m_restHeader = WaveHeader{};
        m_restHeader.data = m_rest.data();
        m_restHeader.length = count;
        m_device.Prepare(m_restHeader);
        m_device.Write(m_restHeader);
    }
}
