#pragma once

#include "QueuedWaveDevice.h"

// What the two in-memory devices share: an open that a test can make fail once, and the
// open state.
template <class Interface> class MemoryWaveDevice : public QueuedWaveDevice<Interface> {
public:
    using QueuedWaveDevice<Interface>::QueuedWaveDevice;

    WaveResult Open(QObject* notify) override {
        if (m_failOpen != WAVE_NOERROR) {
            const WaveResult code = m_failOpen;
            m_failOpen = WAVE_NOERROR;
            return code;
        }
        this->m_queue.SetNotify(notify);
        m_bOpen = true;
        return WAVE_NOERROR;
    }

    // The next Open fails with this code (WAVE_NOERROR: it succeeds).
    void FailNextOpenWith(WaveResult code) { m_failOpen = code; }
    bool IsOpen() const { return m_bOpen; }

protected:
    // Back to closed: queued buffers returned, no more notifications.
    void CloseDevice() {
        this->m_queue.ReturnAll();
        this->m_queue.SetNotify(nullptr);
        m_bOpen = false;
    }

    bool m_bOpen = false;

private:
    WaveResult m_failOpen = WAVE_NOERROR;
};
