#include "WaveEngine.h"

#include "NoteTable.h"

#include <algorithm>

CWaveEngine::CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                         std::unique_ptr<IWaveOut> waveOut)
    : m_notes(notes), m_waveOut(std::move(waveOut)), m_capture(std::move(waveIn)),
      m_output(*m_waveOut) {
    m_capture.SetBlockSink([this](Block block) {
        for (ICaptureListener* listener : m_captureListeners) {
            listener->OnCapturedBlock(block);
        }
        if (m_blockSink) {
            m_blockSink(block);
        }
    });
    m_capture.SetLossListener([this] {
        for (ICaptureListener* listener : m_captureListeners) {
            listener->OnCaptureLost();
        }
    });
    m_output.SetGenerator([this](int, std::span<std::int16_t> buffer) { Generate(buffer); });
}

CWaveEngine::~CWaveEngine() {
    // While their notification object may still exist.
    m_output.SetListener(nullptr);
    StopCapture();
    StopOutput();
}

void CWaveEngine::Initialise(QObject* notify) {
    m_capture.SetNotify(notify);
    m_output.SetNotify(notify);
}

void CWaveEngine::DetachNotify() {
    m_capture.SetNotify(nullptr);
    m_output.SetNotify(nullptr);
}

void CWaveEngine::AddCaptureListener(ICaptureListener* listener) {
    m_captureListeners.push_back(listener);
}

void CWaveEngine::RemoveCaptureListener(ICaptureListener* listener) {
    std::erase(m_captureListeners, listener);
}

void CWaveEngine::StartCapture() {
    m_capture.Open(true);
}

bool CWaveEngine::RetryCapture() {
    return m_capture.Open(false);
}

WaveResult CWaveEngine::StopCapture() {
    return m_capture.Close();
}

void CWaveEngine::SetInputSource(const std::string& name) {
    m_capture.Device().SetPreferredSource(name);
    if (m_capture.IsOpen()) {
        m_capture.Close();
        m_capture.Open(true);
    }
}

int CWaveEngine::OnBufferDone(QEvent* e) {
    return m_capture.OnEvent(e) || m_output.OnEvent(e) ? 1 : 0;
}

int CWaveEngine::SynthesisNote() const {
    return m_synthNote ? NoteTable::ClampIndex(m_synthNote()) : kNoteA4;
}

void CWaveEngine::SetClip(std::vector<std::int16_t> clip) {
    m_clip = std::move(clip);
    m_nClipPos = 0;
}

void CWaveEngine::StartOutput() {
    if (!m_output.IsOpen()) {
        m_nClipPos = 0;
        m_output.Start(true);
    }
}

WaveResult CWaveEngine::StopOutput() {
    return m_output.Stop();
}

void CWaveEngine::Generate(std::span<std::int16_t> buffer) {
    if (m_bSynthesis) {
        const double hz = m_notes.Frequency(SynthesisNote());
        for (auto& sample : buffer) {
            sample = static_cast<std::int16_t>(m_oscillator.Next(hz) * 25000.0);
        }
        return;
    }

    // The clip loops without a gap, however its length relates to the buffer's.
    if (m_clip.empty()) {
        std::fill(buffer.begin(), buffer.end(), 0);
        return;
    }
    if (m_nClipPos >= m_clip.size()) {
        m_nClipPos = 0;
    }
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const std::size_t count = std::min(buffer.size() - filled, m_clip.size() - m_nClipPos);
        std::copy_n(m_clip.begin() + static_cast<std::ptrdiff_t>(m_nClipPos), count,
                    buffer.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += count;
        m_nClipPos += count;
        if (m_nClipPos == m_clip.size()) {
            m_nClipPos = 0;
        }
    }
}
