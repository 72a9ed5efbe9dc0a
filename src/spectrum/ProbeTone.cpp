#include "ProbeTone.h"

ProbeTone::ProbeTone(const NoteTable& notes, IWaveOut& device) : m_notes(notes), m_output(device) {
    m_output.SetGenerator([this](std::span<std::int16_t> buffer) { ProbeToneFill(buffer); });
}

ProbeTone::~ProbeTone() {
    ProbeToneStop();
}

void ProbeTone::ProbeToneInit(QObject* owner) {
    m_output.SetNotify(owner);
}

void ProbeTone::ProbeToneStart() {
    if (m_output.IsOpen()) {
        return;
    }
    m_oscillator.Reset();
    m_dEnvelope = 0.0;
    m_output.Start(false);
}

void ProbeTone::ProbeToneStop() {
    m_output.Stop();
    m_oscillator.Reset();
}

int ProbeTone::ProbeToneRefill() {
    m_output.Refill(nullptr);
    return 1;
}

bool ProbeTone::ProbeToneEvent(QEvent* e) {
    return m_output.OnEvent(e);
}

void ProbeTone::ProbeToneFill(std::span<std::int16_t> buffer) {
    const double hz = m_notes.Frequency(m_nNote);
    for (std::int16_t& sample : buffer) {
        m_dEnvelope = (m_dEnvelope * 4999.0 + 1.0) / 5000.0;
        sample = static_cast<std::int16_t>(m_oscillator.Next(hz) * kAmplitude * m_dEnvelope);
    }
}
