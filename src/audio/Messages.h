#pragma once

#include <QEvent>

// The program's private messages, as Qt event types. Device notifications and results cross
// from one object (or thread) to another as posted events and are all handled on the GUI
// thread. The numbers keep the values the messages have always had, above QEvent::User.

constexpr QEvent::Type MessageType(int number) {
    return static_cast<QEvent::Type>(QEvent::User + number);
}

constexpr int WM_APP_BASE = 0x8000;

// A capture buffer is full (capture device -> its notification object).
constexpr QEvent::Type MM_WIM_DATA = MessageType(0x3C0);
// An output buffer has played (output device -> its notification object).
constexpr QEvent::Type MM_WOM_DONE = MessageType(0x3BD);
// A note was chosen in the instrument tree (tuner view -> itself).
constexpr QEvent::Type WM_NOTE_SELECTED = MessageType(WM_APP_BASE + 1);
// A new block is in the analysis sample buffer (block hand-off -> itself).
constexpr QEvent::Type WM_BLOCK_READY = MessageType(WM_APP_BASE + 3);
// The analysis has a new frequency (worker or note-locked measurement -> tuner).
constexpr QEvent::Type WM_PITCH_RESULT = MessageType(WM_APP_BASE + 4);
// A new display spectrum and pitch history are published (capture thread -> graph).
constexpr QEvent::Type WM_SPECTRUM_READY = MessageType(WM_APP_BASE + 5);

// WM_NOTE_SELECTED carries the chosen note index.
class NoteSelectedEvent : public QEvent {
public:
    explicit NoteSelectedEvent(int note) : QEvent(WM_NOTE_SELECTED), m_nNote(note) {}
    int Note() const { return m_nNote; }

private:
    int m_nNote;
};

// What the tuner receives for every analysed block that gave a frequency.
class PitchResultEvent : public QEvent {
public:
    enum class Source { Worker, NoteLocked };

    PitchResultEvent(double hz, Source source)
        : QEvent(WM_PITCH_RESULT), m_dFrequency(hz), m_source(source) {}
    double Frequency() const { return m_dFrequency; }
    Source From() const { return m_source; }

private:
    double m_dFrequency;
    Source m_source;
};
