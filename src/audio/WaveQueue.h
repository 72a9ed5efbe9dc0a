#pragma once

#include "WaveDevice.h"

#include <QEvent>
#include <QPointer>

#include <cstddef>
#include <deque>
#include <span>

// The buffer bookkeeping every wave device shares: prepared and queued headers, filled or
// played in queue order, each finished one marked done and announced by a posted event.
class WaveQueue {
public:
    explicit WaveQueue(QEvent::Type doneEvent) : m_doneEvent(doneEvent) {}

    void SetNotify(QObject* notify) { m_notify = notify; }

    WaveResult Prepare(WaveHeader& header);
    WaveResult Unprepare(WaveHeader& header);
    WaveResult Enqueue(WaveHeader& header);
    // Gives every queued buffer back, marked done, without notification.
    void ReturnAll();
    bool IsEmpty() const { return m_queue.empty(); }

    // Capture: copies samples into the queued buffers in order; each buffer that fills up is
    // done and announced. Samples that find no buffer are dropped.
    void Record(std::span<const std::int16_t> samples);

    // Playback: the unplayed bytes of the oldest queued buffer (empty when none is queued),
    // and how many of them the device has taken; a buffer taken whole is done and announced.
    std::span<const char> PendingBytes() const;
    void Consumed(std::size_t bytes);

private:
    void Finish();

    QEvent::Type m_doneEvent;
    QPointer<QObject> m_notify;
    std::deque<WaveHeader*> m_queue;
    std::size_t m_headBytes = 0; // bytes of the oldest buffer already filled or played
};
