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
constexpr std::size_t kSnapshotsKept = 4;    // enough for a reader or two and the newest
} // namespace

CWaveEngine::CWaveEngine(const NoteTable& notes, std::unique_ptr<IWaveIn> waveIn,
                         std::unique_ptr<IWaveOut> waveOut)
    : m_notes(notes), m_waveIn(std::move(waveIn)), m_waveOut(std::move(waveOut)),
      m_blockDoubles(kBlockSamples, 0.0), m_displayFft(kDisplayFftSize),
      m_displaySpectrum(kDisplayBins, 0.0) {
    auto first = std::make_shared<DisplaySnapshot>();
    first->spectrum.assign(kDisplayBins, 0.0);
    first->history.fill(0.0);
    m_display = first;
    for (int i = 0; i < 2; ++i) {
        m_captureHeaders[i].data = m_captureBuffers[i].data();
        m_outputHeaders[i].data = m_outputBuffers[i].data();
    }
}

CWaveEngine::~CWaveEngine() {
    // Devices first, while their notification object may still exist, then the thread.
    m_outputListener = nullptr;
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
    OpenCapture(true);
}

bool CWaveEngine::RetryCapture() {
    return OpenCapture(false);
}

bool CWaveEngine::OpenCapture(bool showFailure) {
    if (m_bCaptureOpen) {
        return true;
    }
    const WaveResult result = m_waveIn->Open(m_pNotify);
    if (result != WAVE_NOERROR) {
        if (showFailure) {
            ShowDeviceError(result, m_waveIn->ErrorText(result));
        }
        return false;
    }
    m_bCaptureOpen = true;
    for (WaveHeader& header : m_captureHeaders) {
        header.flags = 0;
        m_waveIn->Prepare(header);
        m_waveIn->AddBuffer(header);
    }
    m_waveIn->Start();
    return true;
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

int CWaveEngine::OnBufferDone(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == MM_WIM_DATA) {
        // Only the buffer the notification names: the device posts them in fill order.
        const WaveHeader* done = static_cast<WaveDoneEvent*>(e)->Header();
        for (WaveHeader& header : m_captureHeaders) {
            if (m_bCaptureOpen && &header == done && header.IsDone()) {
                HandOverBlock(header);
                m_waveIn->Unprepare(header);
                m_waveIn->Prepare(header);
                m_waveIn->AddBuffer(header);
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
    if (type == MM_WIM_ERROR || type == MM_WOM_ERROR) {
        const bool capture = type == MM_WIM_ERROR;
        if (capture ? !m_bCaptureOpen : !m_bOutputOpen) {
            return 1; // already closed: a late word from a device given up on
        }
        // Closed before the message: nothing may find the dead device open meanwhile.
        const WaveResult code = static_cast<WaveErrorEvent*>(e)->Code();
        if (capture) {
            StopCapture();
            ShowDeviceError(code, m_waveIn->ErrorText(code));
        } else {
            StopOutput();
            ShowDeviceError(code, m_waveOut->ErrorText(code));
        }
        return 1;
    }
    return 0;
}

void CWaveEngine::HandOverBlock(WaveHeader& header) {
    const Block block(header.data, kBlockSamples);
    {
        std::lock_guard lock(m_engineMutex);
        std::copy(block.begin(), block.end(), m_blockDoubles.begin());
    }
    m_blockEvent.Set();
    if (m_blockSink) {
        m_blockSink(block);
    }
}

void CWaveEngine::CaptureThreadProc(std::stop_token stop) {
    while (!stop.stop_requested()) {
        if (!m_blockEvent.WaitFor(kCaptureWait)) {
            continue;
        }
        {
            std::lock_guard lock(m_engineMutex);
            // The rest of the input is the block's zero padding, zeroed when the transform was
            // made; the plan never writes to its input.
            std::copy(m_blockDoubles.begin(), m_blockDoubles.end(), m_displayFft.Input().begin());
        }
        ComputeDisplaySpectrum();

        const double pitch =
            EstimatePitch(m_displaySpectrum, kDisplayFftSize, m_notes.Frequency(kDisplayLowestNote),
                          m_notes.Frequency(kNoteLast));
        std::shift_left(m_history.begin(), m_history.end(), 1);
        m_history.back() = pitch;

        const std::shared_ptr<DisplaySnapshot> next = FreeSnapshot();
        next->spectrum.assign(m_displaySpectrum.begin(), m_displaySpectrum.end());
        next->history = m_history;
        next->serial = ++m_nSerial;
        {
            std::lock_guard lock(m_displayMutex);
            m_display = next;
        }
        std::lock_guard lock(m_graphMutex);
        if (m_pGraph && !m_bSpectrumPending.exchange(true)) {
            QCoreApplication::postEvent(m_pGraph, new QEvent(WM_SPECTRUM_READY));
        }
    }
}

void CWaveEngine::ComputeDisplaySpectrum() {
    m_displayFft.Transform();
    m_displayFft.Magnitudes(m_displaySpectrum, kDisplayScale);
}

std::shared_ptr<CWaveEngine::DisplaySnapshot> CWaveEngine::FreeSnapshot() {
    std::unique_ptr<DisplaySnapshot> snapshot;
    {
        std::lock_guard lock(m_pool->mutex);
        if (!m_pool->free.empty()) {
            snapshot = std::move(m_pool->free.back());
            m_pool->free.pop_back();
        }
    }
    if (!snapshot) {
        snapshot = std::make_unique<DisplaySnapshot>();
        snapshot->spectrum.reserve(kDisplayBins);
    }
    // Whoever lets go of it last, reader or engine, gives it back through the pool's lock, so
    // its next writer sees every read of it finished. The pool outlives the engine as long as
    // a snapshot is still held.
    return std::shared_ptr<DisplaySnapshot>(snapshot.release(),
                                            [pool = m_pool](DisplaySnapshot* released) {
                                                std::unique_ptr<DisplaySnapshot> owned(released);
                                                std::lock_guard lock(pool->mutex);
                                                if (pool->free.size() < kSnapshotsKept) {
                                                    pool->free.push_back(std::move(owned));
                                                }
                                            });
}

void CWaveEngine::SetGraphWindow(QObject* graph) {
    std::lock_guard lock(m_graphMutex);
    m_pGraph = graph;
    m_bSpectrumPending = false;
}

std::shared_ptr<const CWaveEngine::DisplaySnapshot> CWaveEngine::Display() const {
    m_bSpectrumPending = false;
    std::lock_guard lock(m_displayMutex);
    return m_display;
}

int CWaveEngine::SynthesisNote() const {
    return m_synthNote ? NoteTable::ClampIndex(m_synthNote()) : kNoteA4;
}

void CWaveEngine::SetClip(std::vector<std::int16_t> clip) {
    m_clip = std::move(clip);
    m_nClipPos = 0;
}

void CWaveEngine::StartOutput() {
    if (m_bOutputOpen) {
        return;
    }
    m_nClipPos = 0;
    const WaveResult result = m_waveOut->Open(m_pNotify);
    if (result != WAVE_NOERROR) {
        ShowDeviceError(result, m_waveOut->ErrorText(result));
        return;
    }
    m_bOutputOpen = true;
    // Two buffers of silence first; the first refill follows them.
    for (int i = 0; i < 2; ++i) {
        m_outputBuffers[i].fill(0);
        m_outputHeaders[i].flags = 0;
        m_waveOut->Prepare(m_outputHeaders[i]);
        m_waveOut->Write(m_outputHeaders[i]);
    }
    if (m_outputListener) {
        m_outputListener();
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
    if (m_outputListener) {
        m_outputListener();
    }
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
        const double step = twoPi * m_notes.Frequency(SynthesisNote()) / kSampleRate;
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
