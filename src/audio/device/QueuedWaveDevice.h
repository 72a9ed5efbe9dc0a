#pragma once

#include "WaveDevice.h"
#include "WaveQueue.h"

// A device of either direction whose buffers are kept by a WaveQueue: preparing and
// unpreparing only mark the header, and the error texts are the shared ones.
template <class Interface> class QueuedWaveDevice : public Interface {
public:
    QueuedWaveDevice(QEvent::Type doneEvent, QEvent::Type errorEvent)
        : m_queue(doneEvent, errorEvent) {}

    WaveResult Prepare(WaveHeader& header) override { return m_queue.Prepare(header); }
    WaveResult Unprepare(WaveHeader& header) override { return m_queue.Unprepare(header); }
    QString ErrorText(WaveResult code) const override { return WaveErrorText(code); }

protected:
    WaveQueue m_queue;
};
