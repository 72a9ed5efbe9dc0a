#pragma once

#include <QEvent>

#include <cstdint>

struct WaveHeader;

// The program's private messages, as Qt event types: here the wave devices' own, and the
// numbering every other subsystem's messages follow beside its sender. Device notifications
// and results cross from one object (or thread) to another as posted events and are all
// handled on the GUI thread. The numbers keep the values the messages have always had, above
// QEvent::User. Each type always travels in the same event class.

constexpr QEvent::Type MessageType(int number) {
    return static_cast<QEvent::Type>(QEvent::User + number);
}

constexpr int WM_APP_BASE = 0x8000;

// A capture buffer is full (capture device -> its notification object): WaveDoneEvent.
constexpr QEvent::Type MM_WIM_DATA = MessageType(0x3C0);
// An output buffer has played (output device -> its notification object): WaveDoneEvent.
constexpr QEvent::Type MM_WOM_DONE = MessageType(0x3BD);
// The capture or output device stopped with an error, e.g. the sound server went away
// (device -> its notification object): WaveErrorEvent.
constexpr QEvent::Type MM_WIM_ERROR = MessageType(WM_APP_BASE + 0x10);
constexpr QEvent::Type MM_WOM_ERROR = MessageType(WM_APP_BASE + 0x11);
// Opening the capture device may succeed again: a sound server answered or a source appeared
// (capture device -> its watcher): a plain QEvent.
constexpr QEvent::Type MM_WIM_AVAILABLE = MessageType(WM_APP_BASE + 0x12);
// The capture device is open but has delivered nothing for a while: its source was suspended
// or unlinked (capture device -> its notification object): a plain QEvent. Blocks follow again
// as soon as sound does.
constexpr QEvent::Type MM_WIM_STALLED = MessageType(WM_APP_BASE + 0x13);

// MM_WIM_DATA and MM_WOM_DONE name the buffer that finished, and the queueing it finished.
class WaveDoneEvent : public QEvent {
public:
    WaveDoneEvent(QEvent::Type type, const WaveHeader* header, std::uint64_t generation)
        : QEvent(type), m_pHeader(header), m_nGeneration(generation) {}
    const WaveHeader* Header() const { return m_pHeader; }
    std::uint64_t Generation() const { return m_nGeneration; }
    // This buffer finished as it is queued now: not a notification left from before it was
    // given back or queued again. Reads nothing the device writes.
    bool Names(const WaveHeader& header) const;

private:
    const WaveHeader* m_pHeader;
    std::uint64_t m_nGeneration;
};

// MM_WIM_ERROR and MM_WOM_ERROR carry the device's code.
class WaveErrorEvent : public QEvent {
public:
    WaveErrorEvent(QEvent::Type type, std::uint32_t code) : QEvent(type), m_nCode(code) {}
    std::uint32_t Code() const { return m_nCode; }

private:
    std::uint32_t m_nCode;
};
