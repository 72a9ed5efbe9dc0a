#pragma once

#include "QueuedWaveDevice.h"

// What the two in-memory devices share: an open that a test can make fail, a failure while
// open, and the open state.
template <class Interface> class MemoryWaveDevice : public QueuedWaveDevice<Interface> {
public:
    using QueuedWaveDevice<Interface>::QueuedWaveDevice;

    WaveResult Open(QObject* notify) override {
        if (m_failAlways != WAVE_NOERROR) {
            return m_failAlways;
        }
        if (m_failOpen != WAVE_NOERROR) {
            const WaveResult code = m_failOpen;
            m_failOpen = WAVE_NOERROR;
            return code;
        }
        this->m_queue.SetNotify(notify);
        m_bOpen = true;
        m_bBroken = false;
        return WAVE_NOERROR;
    }

    // The next Open fails with this code (WAVE_NOERROR: it succeeds).
    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }
    // Every Open fails with this code until it is WAVE_NOERROR again: no device at all.
    void FailOpensWith(WaveResult code) { m_failAlways = code; }
    // The device stops while open, as a sound server that goes away: it posts its error once
    // and takes no more data.
    void Break() {
        if (m_bOpen && !m_bBroken) {
            m_bBroken = true;
            this->m_queue.ReportError(WAVE_ERR_ERROR);
        }
    }
    bool IsOpen() const { return m_bOpen; }
    bool IsBroken() const { return m_bBroken; }

protected:
    // Back to closed: queued buffers returned, no more notifications.
    void CloseDevice() {
        this->m_queue.ReturnAll();
        this->m_queue.SetNotify(nullptr);
        m_bOpen = false;
    }

    bool m_bOpen = false;
    bool m_bBroken = false;

private:
    WaveResult m_failOpen = WAVE_NOERROR;
    WaveResult m_failAlways = WAVE_NOERROR;
};
