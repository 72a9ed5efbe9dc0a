#include "ProbeTone.h"

#include "DeviceError.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

ProbeTone::ProbeTone(const NoteTable& notes, IWaveOut& device) : m_notes(notes), m_device(device) {
    for (int i = 0; i < 2; ++i) {
        m_headers[i].data = m_buffers[i].data();
    }
}

ProbeTone::~ProbeTone() {
    ProbeToneClose();
}

void ProbeTone::ProbeToneInit(QObject* owner) {
    m_pOwner = owner;
    for (int i = 0; i < 2; ++i) {
        m_buffers[i].fill(0);
        m_headers[i] = WaveHeader{};
        m_headers[i].data = m_buffers[i].data();
    }
}

void ProbeTone::ProbeToneStart() {
    if (m_state == State::Playing) {
        return;
    }
    const bool releasing = m_state == State::Releasing;
    m_voice = Voice{};
    m_state = State::Playing;
    if (releasing) {
        // The device stays open: the new tone follows what it has yet to play of the fade.
        m_device.Reset();
        const int fade = kReleaseSamples - std::min(m_headers[0].recorded, kReleaseSamples);
        if (!RequeueFadeRest()) {
            QueueFadeRest(m_buffers[0].data() + kReleaseSamples - fade, fade);
        }
    } else if (const WaveResult result = m_device.Open(m_pOwner); result != WAVE_NOERROR) {
        m_state = State::Closed;
        ShowDeviceError(result, m_device.ErrorText(result));
        return;
    }
    ProbeToneFill(0);
    ProbeToneFill(1);
    for (WaveHeader& header : m_headers) {
        header.flags = 0;
        m_device.Prepare(header);
        m_device.Write(header);
    }
}

void ProbeTone::ProbeToneStop() {
    if (m_state != State::Playing) {
        m_voice.oscillator.Reset();
        return;
    }
    // What the device holds but has not played is taken back and replaced by the fade.
    m_device.Reset();
    Voice voice = UnplayedVoice();
    RequeueFadeRest();
    // A whole block, so that a device that takes a block ahead of the speaker has played the
    // fade before the block counts as done.
    auto& samples = m_buffers[0];
    samples.fill(0);
    for (int n = 0; n < kReleaseSamples; ++n) {
        const double gain = double(kReleaseSamples - 1 - n) / kReleaseSamples;
        samples[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(NextSample(voice) * gain);
    }
    m_state = State::Releasing;
    m_voice.oscillator.Reset();
    WaveHeader& header = m_headers[0];
    header.flags = 0;
    m_device.Prepare(header);
    if (m_device.Write(header) != WAVE_NOERROR) {
        ProbeToneClose();
    }
}

bool ProbeTone::RequeueFadeRest() {
    // Queued before the tone that followed it, so nothing of that tone has played if this has
    // not: its own fade would be silence.
    const int left = m_nFadeRest - std::min(m_fadeRestHeader.recorded, m_nFadeRest);
    QueueFadeRest(m_fadeRest.data() + m_nFadeRest - left, left);
    return left > 0;
}

void ProbeTone::QueueFadeRest(const std::int16_t* samples, int count) {
    for (WaveHeader& header :
         {std::ref(m_headers[0]), std::ref(m_headers[1]), std::ref(m_fadeRestHeader)}) {
        m_device.Unprepare(header);
    }
    m_nFadeRest = count;
    if (count > 0) {
        std::memmove(m_fadeRest.data(), samples, sizeof(std::int16_t) * std::size_t(count));
        m_fadeRestHeader = WaveHeader{};
        m_fadeRestHeader.data = m_fadeRest.data();
        m_fadeRestHeader.length = count;
        m_device.Prepare(m_fadeRestHeader);
        m_device.Write(m_fadeRestHeader);
    }
}

void ProbeTone::ProbeToneClose() {
    if (m_state != State::Closed) {
        m_device.Reset();
        QueueFadeRest(nullptr, 0); // unprepares every header
        m_device.Close();
        m_state = State::Closed;
    }
    m_voice.oscillator.Reset();
}

int ProbeTone::ProbeToneRefill(const WaveHeader* done) {
    // Only the named buffer's flags are read: the other may be the device's meanwhile.
    const auto named = [done](const WaveHeader& header) { return !done || done == &header; };
    if (m_state == State::Releasing) {
        // Only the fade's block is queued now; notifications of the blocks taken back find
        // it still queued.
        if (named(m_headers[0]) && m_headers[0].IsDone()) {
            ProbeToneClose();
        }
        return 1;
    }
    if (m_state != State::Playing) {
        return 1;
    }
    for (int i = 0; i < 2; ++i) {
        WaveHeader& header = m_headers[i];
        if (named(header) && header.IsDone()) {
            ProbeToneFill(i);
            m_device.Unprepare(header);
            m_device.Prepare(header);
            m_device.Write(header);
            break;
        }
    }
    return 1;
}

void ProbeTone::ProbeToneFill(int i) {
    if (m_state != State::Playing) {
        return;
    }
    const auto index = static_cast<std::size_t>(i);
    m_voice.hz = m_notes.Frequency(m_nNote);
    m_starts[index] = m_voice;
    m_fills[index] = ++m_nFills;
    for (std::int16_t& sample : m_buffers[index]) {
        sample = static_cast<std::int16_t>(NextSample(m_voice));
    }
}

double ProbeTone::NextSample(Voice& voice) {
    voice.envelope = (voice.envelope * 4999.0 + 1.0) / 5000.0;
    return voice.oscillator.Next(voice.hz) * kAmplitude * voice.envelope;
}

void ProbeTone::Advance(Voice& voice) {
    voice.envelope = (voice.envelope * 4999.0 + 1.0) / 5000.0;
    voice.oscillator.Skip(voice.hz);
}

ProbeTone::Voice ProbeTone::UnplayedVoice() const {
    // The device plays the buffers in the order they were filled and has played a part of the
    // first one it has not finished; each buffer knows the voice at its start.
    const int first = m_fills[0] < m_fills[1] ? 0 : 1;
    for (int i : {first, 1 - first}) {
        const WaveHeader& header = m_headers[static_cast<std::size_t>(i)];
        if (header.recorded < header.length) {
            Voice voice = m_starts[static_cast<std::size_t>(i)];
            for (int n = 0; n < header.recorded; ++n) {
                Advance(voice);
            }
            return voice;
        }
    }
    return m_voice;
}
