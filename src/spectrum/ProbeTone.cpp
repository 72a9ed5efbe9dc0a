#include "ProbeTone.h"

#include "DeviceError.h"

#include <cmath>

ProbeTone::ProbeTone(const NoteTable& notes, IWaveOut& device) : m_notes(notes), m_device(device) {
    for (int i = 0; i < 2; ++i) {
        m_headers[i].data = m_buffers[i].data();
    }
}

ProbeTone::~ProbeTone() {
    ProbeToneStop();
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
    if (m_bOpen) {
        return;
    }
    m_dPhase = 0.0;
    m_dEnvelope = 0.0;
    m_bOpen = true;
    const WaveResult result = m_device.Open(m_pOwner);
    if (result != WAVE_NOERROR) {
        m_bOpen = false;
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
    if (m_bOpen) {
        m_device.Reset();
        for (WaveHeader& header : m_headers) {
            m_device.Unprepare(header);
        }
        m_device.Close();
        m_bOpen = false;
    }
    m_dPhase = 0.0;
}

int ProbeTone::ProbeToneRefill() {
    if (!m_bOpen) {
        return 1;
    }
    for (int i = 0; i < 2; ++i) {
        WaveHeader& header = m_headers[i];
        if (header.IsDone()) {
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
    if (!m_bOpen) {
        return;
    }
    const double twoPi = 8.0 * std::atan(1.0);
    const double step = twoPi * m_notes.Frequency(m_nNote) / kSampleRate;
    for (std::int16_t& sample : m_buffers[static_cast<std::size_t>(i)]) {
        m_dEnvelope = (m_dEnvelope * 4999.0 + 1.0) / 5000.0;
        const double v = 0.5 * std::sin(2.0 * m_dPhase) + 0.4 * std::sin(m_dPhase) +
                         0.1 * std::sin(3.0 * m_dPhase);
        sample = static_cast<std::int16_t>(v * kAmplitude * m_dEnvelope);
        m_dPhase += step;
        if (m_dPhase > twoPi) {
            m_dPhase -= twoPi;
        }
    }
}
