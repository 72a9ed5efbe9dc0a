#pragma once

#include "WaveDevice.h"

#include <QEvent>
#include <QPointer>

#include <cstddef>
#include <deque>
#include <span>

// The buffer bookkeeping every wave device shares: prepared and queued headers, filled or
// played in queue order, each finished one marked done and announced by a posted event that
// names it.
class WaveQueue {
public:
    WaveQueue(QEvent::Type doneEvent, QEvent::Type errorEvent)
        : m_doneEvent(doneEvent), m_errorEvent(errorEvent) {}

    void SetNotify(QObject* notify) { m_notify = notify; }

    WaveResult Prepare(WaveHeader& header);
    WaveResult Unprepare(WaveHeader& header);
    WaveResult Enqueue(WaveHeader& header);
    // Gives every queued buffer back, marked done, without notification.
    void ReturnAll();
    bool IsEmpty() const { return m_queue.empty(); }

    // The bytes of the oldest queued buffer not yet filled (capture) or played (output); empty
    // when none is queued. A device reads into them or plays from them directly, then says
    // how many it used; a buffer used whole is done and announced.
    std::span<char> HeadBytes() const;
    void Advance(std::size_t bytes);

    // Tells the notification object, once, that the device stopped with this code.
    void ReportError(WaveResult code);
    // Tells the notification object something that carries nothing more than its type.
    void Post(QEvent::Type type);

private:
    void Finish();

    QEvent::Type m_doneEvent;
    QEvent::Type m_errorEvent;
    QPointer<QObject> m_notify;
    std::deque<WaveHeader*> m_queue;
    std::size_t m_headBytes = 0; // bytes of the oldest buffer already filled or played
    std::uint64_t m_nGeneration = 0;
};
