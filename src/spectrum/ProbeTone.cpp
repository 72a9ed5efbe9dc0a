#include "ProbeTone.h"

ProbeTone::ProbeTone(const NoteTable& notes, IWaveOut& device) : m_notes(notes), m_output(device) {
    m_output.SetGenerator(
        [this](int buffer, std::span<std::int16_t> samples) { ProbeToneFill(buffer, samples); });
}

ProbeTone::~ProbeTone() {
    ProbeToneClose();
}

void ProbeTone::ProbeToneInit(QObject* owner) {
    m_output.SetNotify(owner);
}

void ProbeTone::ProbeToneStart() {
    if (m_output.IsPlaying()) {
        return;
    }
    m_voice = Voice{};
    m_output.Start(false);
}

void ProbeTone::ProbeToneStop() {
    if (m_output.IsPlaying()) {
        m_output.Release([this](int buffer, int offset, std::span<std::int16_t> tail) {
            return ProbeToneFade(buffer, offset, tail);
        });
    }
    m_voice.oscillator.Reset();
}

void ProbeTone::ProbeToneClose() {
    m_output.Stop();
    m_voice.oscillator.Reset();
}

int ProbeTone::ProbeToneRefill(const WaveDoneEvent* done) {
    m_output.Refill(done);
    return 1;
}

void ProbeTone::ProbeToneFill(int buffer, std::span<std::int16_t> samples) {
    m_voice.hz = m_notes.Frequency(m_nNote);
    m_starts[static_cast<std::size_t>(buffer)] = m_voice;
    for (std::int16_t& sample : samples) {
        sample = static_cast<std::int16_t>(NextSample(m_voice));
    }
}

int ProbeTone::ProbeToneFade(int buffer, int offset, std::span<std::int16_t> tail) const {
    Voice voice = buffer < 0 ? m_voice : m_starts[static_cast<std::size_t>(buffer)];
    for (int n = 0; n < offset; ++n) {
        Advance(voice);
    }
    for (int n = 0; n < kReleaseSamples; ++n) {
        const double gain = double(kReleaseSamples - 1 - n) / kReleaseSamples;
        tail[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(NextSample(voice) * gain);
    }
    return kReleaseSamples;
}

double ProbeTone::NextSample(Voice& voice) {
    voice.envelope = (voice.envelope * 4999.0 + 1.0) / 5000.0;
    return voice.oscillator.Next(voice.hz) * kAmplitude * voice.envelope;
}

void ProbeTone::Advance(Voice& voice) {
    voice.envelope = (voice.envelope * 4999.0 + 1.0) / 5000.0;
    voice.oscillator.Skip(voice.hz);
}
