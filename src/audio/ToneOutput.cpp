#include "ToneOutput.h"

#include "DeviceError.h"
#include "Messages.h"

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
    if (m_bOpen) {
        return true;
    }
    const WaveResult result = m_device.Open(m_pNotify);
    if (result != WAVE_NOERROR) {
        ShowDeviceError(result, m_device.ErrorText(result));
        return false;
    }
    m_bOpen = true;
    for (int i = 0; i < 2; ++i) {
        if (silentFirst || !m_generator) {
            m_buffers[i].fill(0);
        } else {
            m_generator(m_buffers[i]);
        }
        m_headers[i].flags = 0;
        m_device.Prepare(m_headers[i]);
        m_device.Write(m_headers[i]);
    }
    if (m_listener) {
        m_listener();
    }
    return true;
}

WaveResult ToneOutput::Stop() {
    if (!m_bOpen) {
        return WAVE_NOERROR;
    }
    m_device.Reset();
    for (WaveHeader& header : m_headers) {
        m_device.Unprepare(header);
    }
    const WaveResult result = m_device.Close();
    m_bOpen = false;
    if (m_listener) {
        m_listener();
    }
    return result;
}

bool ToneOutput::OnEvent(QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == MM_WOM_DONE) {
        Refill(static_cast<WaveDoneEvent*>(e)->Header());
        return true;
    }
    if (type == MM_WOM_ERROR) {
        if (m_bOpen) {
            Stop();
            const WaveResult code = static_cast<WaveErrorEvent*>(e)->Code();
            ShowDeviceError(code, m_device.ErrorText(code));
        }
        return true;
    }
    return false;
}

void ToneOutput::Refill(const WaveHeader* done) {
    if (!m_bOpen) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        WaveHeader& header = m_headers[i];
        // Only the named buffer's flags are read: the other may be the device's meanwhile.
        if ((done ? &header == done : true) && header.IsDone()) {
            if (m_generator) {
                m_generator(m_buffers[i]);
            } else {
                m_buffers[i].fill(0);
            }
            m_device.Unprepare(header);
            m_device.Prepare(header);
            m_device.Write(header);
            return;
        }
    }
}
