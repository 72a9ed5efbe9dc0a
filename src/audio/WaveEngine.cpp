#include "WaveEngine.h"

#include "NoteTable.h"

#include <algorithm>

CWaveEngine::CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                         std::unique_ptr<IWaveOut> waveOut)
    : m_waveOut(std::move(waveOut)), m_capture(std::move(waveIn)), m_output(*m_waveOut),
      m_tone(notes) {
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
    m_output.SetGenerator([this](int, std::span<std::int16_t> buffer) { m_tone.Fill(buffer); });
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

void CWaveEngine::StartOutput() {
    if (!m_output.IsOpen()) {
        m_tone.Rewind();
        m_output.Start(true);
    }
}

WaveResult CWaveEngine::StopOutput() {
    return m_output.Stop();
}
