#include "WaveEngine.h"

#include "DeviceError.h"
#include "Messages.h"
#include "NoteTable.h"
#include "PitchEstimator.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {
constexpr auto kCaptureWait = std::chrono::milliseconds(10);
constexpr int kDisplayLowestNote = 20;       // E1: the display estimate ignores lower bins
constexpr double kDisplayScale = 1.0 / 8192; // 2 / the 16384 real samples of the frame
} // namespace

CWaveEngine::CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                         std::unique_ptr<IWaveOut> waveOut)
    : m_notes(notes), m_waveIn(std::move(waveIn)), m_waveOut(std::move(waveOut)),
      m_blockDoubles(kDisplayFftSize, 0.0), m_displayFft(kDisplayFftSize),
      m_displaySpectrum(kDisplayBins, 0.0) {
    m_display.spectrum.assign(kDisplayBins, 0.0);
    m_display.history.fill(0.0);
    for (int i = 0; i < 2; ++i) {
        m_captureHeaders[i].data = m_captureBuffers[i].data();
        m_outputHeaders[i].data = m_outputBuffers[i].data();
    }
}

CWaveEngine::~CWaveEngine() {
    // Devices first, while their notification object may still exist, then the thread.
    StopCapture();
    StopOutput();
    StopCaptureThread();
}

void CWaveEngine::Initialise(QObject* notify) {
    m_pNotify = notify;
    for (auto& buffer : m_outputBuffers) {
        buffer.fill(0);
    }
    if (!m_captureThread.joinable()) {
        m_captureThread = std::jthread([this](std::stop_token stop) { CaptureThreadProc(stop); });
    }
}

void CWaveEngine::StopCaptureThread() {
    if (m_captureThread.joinable()) {
        m_captureThread.request_stop();
        m_captureThread.join();
    }
}

void CWaveEngine::StartCapture() {
    if (m_bCaptureOpen) {
        return;
    }
    m_bCaptureOpen = true;
    const WaveResult result = m_waveIn->Open(m_pNotify);
    if (result != WAVE_NOERROR) {
        m_bCaptureOpen = false;
        ShowDeviceError(result, m_waveIn->ErrorText(result));
        return;
    }
    for (WaveHeader& header : m_captureHeaders) {
        header.flags = 0;
        m_waveIn->Prepare(header);
        m_waveIn->AddBuffer(header);
    }
    m_waveIn->Start();
}

WaveResult CWaveEngine::StopCapture() {
    if (!m_bCaptureOpen) {
        return WAVE_NOERROR;
    }
    m_waveIn->Reset();
    for (WaveHeader& header : m_captureHeaders) {
        m_waveIn->Unprepare(header);
    }
    const WaveResult result = m_waveIn->Close();
    m_bCaptureOpen = false;
    return result;
}

int CWaveEngine::OnBufferDone(QEvent::Type type) {
    if (type == MM_WIM_DATA) {
        if (m_bCaptureOpen) {
            // Both buffers may be full by now; they are handed over in order.
            for (int i = 0; i < 2; ++i) {
                WaveHeader& header = m_captureHeaders[i];
                if (header.IsDone()) {
                    HandOverBlock(i);
                    m_waveIn->Unprepare(header);
                    m_waveIn->Prepare(header);
                    m_waveIn->AddBuffer(header);
                }
            }
        }
        return 1;
    }
    if (type == MM_WOM_DONE) {
        if (m_bOutputOpen) {
            // One buffer per notification: the first one that has played.
            for (int i = 0; i < 2; ++i) {
                WaveHeader& header = m_outputHeaders[i];
                if (header.IsDone()) {
                    FillOutputBuffer(i);
                    m_waveOut->Unprepare(header);
                    m_waveOut->Prepare(header);
                    m_waveOut->Write(header);
                    break;
                }
            }
        }
        return 1;
    }
    return 0;
}

void CWaveEngine::HandOverBlock(int i) {
    m_latestBlock = m_captureBuffers[i];
    ++m_nBlockSerial;
    {
        std::lock_guard lock(m_engineMutex);
        std::copy(m_latestBlock.begin(), m_latestBlock.end(), m_blockDoubles.begin());
    }
    m_blockEvent.Set();
}

void CWaveEngine::CaptureThreadProc(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (!m_blockEvent.WaitFor(kCaptureWait)) {
            continue;
        }
        {
            std::lock_guard lock(m_engineMutex);
            std::copy(m_blockDoubles.begin(), m_blockDoubles.end(), m_displayFft.Input().begin());
        }
        m_displayFft.Transform();
        m_displayFft.Magnitudes(m_displaySpectrum, kDisplayScale);

        // The spectrum is complete before anyone hears of it; the history entry follows.
        {
            std::lock_guard lock(m_displayMutex);
            std::copy(m_displaySpectrum.begin(), m_displaySpectrum.end(),
                      m_display.spectrum.begin());
            ++m_display.serial;
        }
        {
            std::lock_guard lock(m_graphMutex);
            if (m_pGraph) {
                QCoreApplication::postEvent(m_pGraph, new QEvent(WM_SPECTRUM_READY));
            }
        }
        const double pitch =
            EstimatePitch(m_displaySpectrum, kDisplayFftSize, m_notes.Frequency(kDisplayLowestNote),
                          m_notes.Frequency(kNoteLast));
        {
            std::lock_guard lock(m_displayMutex);
            std::shift_left(m_display.history.begin(), m_display.history.end(), 1);
            m_display.history.back() = pitch;
        }
    }
}

void CWaveEngine::SetGraphWindow(QObject* graph) {
    std::lock_guard lock(m_graphMutex);
    m_pGraph = graph;
}

CWaveEngine::DisplaySnapshot CWaveEngine::Display() const {
    std::lock_guard lock(m_displayMutex);
    return m_display;
}

void CWaveEngine::SetClip(std::vector<std::int16_t> clip) {
    m_clip = std::move(clip);
    m_nClipPos = 0;
}

void CWaveEngine::StartOutput() {
    if (m_bOutputOpen) {
        return;
    }
    m_bOutputOpen = true;
    m_nClipPos = 0;
    const WaveResult result = m_waveOut->Open(m_pNotify);
    if (result != WAVE_NOERROR) {
        m_bOutputOpen = false;
        ShowDeviceError(result, m_waveOut->ErrorText(result));
        return;
    }
    // Two buffers of silence first; the first refill follows them.
    for (int i = 0; i < 2; ++i) {
        m_outputBuffers[i].fill(0);
        m_outputHeaders[i].flags = 0;
        m_waveOut->Prepare(m_outputHeaders[i]);
        m_waveOut->Write(m_outputHeaders[i]);
    }
}

WaveResult CWaveEngine::StopOutput() {
    if (!m_bOutputOpen) {
        return WAVE_NOERROR;
    }
    m_waveOut->Reset();
    for (WaveHeader& header : m_outputHeaders) {
        m_waveOut->Unprepare(header);
    }
    const WaveResult result = m_waveOut->Close();
    m_bOutputOpen = false;
    return result;
}

void CWaveEngine::FillOutputBuffer(int i) {
    if (!m_bOutputOpen) {
        return;
    }
    auto& buffer = m_outputBuffers[i];
    if (m_bSynthesis) {
        // The fundamental and its octave at equal weight with a weak twelfth: easy to hear
        // against a string. The phase carries over, so buffers join without a click.
        const double twoPi = 8.0 * std::atan(1.0);
        const double step = twoPi * m_notes.Frequency(m_nSynthNote) / kSampleRate;
        for (auto& sample : buffer) {
            const double v = 0.5 * std::sin(2.0 * m_dPhase) + 0.5 * std::sin(m_dPhase) +
                             0.1 * std::sin(3.0 * m_dPhase);
            sample = static_cast<std::int16_t>(v * 25000.0);
            m_dPhase += step;
            if (m_dPhase > twoPi) {
                m_dPhase -= twoPi;
            }
        }
        return;
    }

    // The clip loops without a gap, however its length relates to the buffer's.
    if (m_clip.empty()) {
        buffer.fill(0);
    } else {
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
    m_latestBlock = buffer;
}
