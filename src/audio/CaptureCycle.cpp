#include "CaptureCycle.h"

#include "DeviceError.h"
#include "Messages.h"

CaptureCycle::CaptureCycle(std::unique_ptr<IWaveIn> device) : m_device(std::move(device)) {
    for (int i = 0; i < 2; ++i) {
        m_headers[i].data = m_buffers[i].data();
    }
}

CaptureCycle::~CaptureCycle() {
    Close();
}

bool CaptureCycle::Open(bool showFailure) {
    if (m_bOpen) {
        return true;
    }
    WaveResult result = m_device->Open(m_pNotify);
    if (result == WAVE_NOERROR) {
        for (WaveHeader& header : m_headers) {
            header.flags = 0;
            if (result == WAVE_NOERROR) {
                result = m_device->Prepare(header);
            }
            if (result == WAVE_NOERROR) {
                result = m_device->AddBuffer(header);
            }
        }
        if (result == WAVE_NOERROR) {
            result = m_device->Start();
        }
        if (result != WAVE_NOERROR) {
            m_bOpen = true; // so that Close gives everything back
            Close();
        }
    }
    if (result != WAVE_NOERROR) {
        if (showFailure) {
            Show(result);
        }
        return false;
    }
    m_bOpen = true;
    return true;
}

WaveResult CaptureCycle::Close() {
    if (!m_bOpen) {
        return WAVE_NOERROR;
    }
    m_device->Reset();
    for (WaveHeader& header : m_headers) {
        m_device->Unprepare(header);
    }
    const WaveResult result = m_device->Close();
    m_bOpen = false;
    return result;
}

bool CaptureCycle::OnEvent(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == MM_WIM_DATA) {
        // Only the buffer the notification names: the device posts them in fill order.
        const auto* done = static_cast<WaveDoneEvent*>(e);
        for (WaveHeader& header : m_headers) {
            if (m_bOpen && done->Names(header)) {
                m_bShown = false; // sound is heard: the next outage may be told
                if (m_blockSink) {
                    m_blockSink(Block(header.data, kBlockSamples));
                }
                if (!m_bOpen) {
                    return true; // the sink closed capture
                }
                m_device->Unprepare(header);
                m_device->Prepare(header);
                m_device->AddBuffer(header);
            }
        }
        return true;
    }
    if (type == MM_WIM_STALLED) {
        // Still open, and blocks follow as soon as sound does; nothing old stays on screen.
        if (m_bOpen && m_lossListener) {
            m_lossListener();
        }
        return true;
    }
    if (type == MM_WIM_ERROR) {
        if (!m_bOpen) {
            return true; // already closed: a late word from a device given up on
        }
        // Closed before the message: nothing may find the dead device open meanwhile.
        Close();
        Show(static_cast<WaveErrorEvent*>(e)->Code());
        if (m_lossListener) {
            m_lossListener();
        }
        return true;
    }
    return false;
}

void CaptureCycle::Show(WaveResult code) {
    if (m_bShown) {
        return;
    }
    m_bShown = true;
    ShowDeviceError(code, m_device->ErrorText(code));
}
