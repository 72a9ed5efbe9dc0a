#pragma once

#include "NoteTable.h"
#include "ToneOscillator.h"
#include "ToneOutput.h"
#include "WaveDevice.h"

#include <cstdint>
#include <span>

class QEvent;
class QObject;

// The probe tone: a note of the table sounded on an output device of its own while the user
// holds the mouse on the note's label, through a tone output of its own. The owner hands the
// device's notifications to ProbeToneEvent, so every fill runs on the GUI thread.
//
// The tone is the fundamental at 0.4 with its octave at 0.5 and its twelfth at 0.1, rising
// softly as 1 - (4999/5000)^n; phase and envelope run on across buffers, and there is no
// release. ProbeToneStart while open and ProbeToneStop while closed do nothing (Stop still
// resets the phase); a refill after the device was closed is ignored.
class ProbeTone {
public:
    static constexpr double kAmplitude = 28000.0;

    ProbeTone(const NoteTable& notes, IWaveOut& device);
    ~ProbeTone();

    ProbeTone(const ProbeTone&) = delete;
    ProbeTone& operator=(const ProbeTone&) = delete;

    // Records the object that receives the device's notifications; zeroes the buffers.
    void ProbeToneInit(QObject* owner);
    // Opens the device and queues two fresh buffers. A failed open shows the wave-output
    // error box and leaves the player closed, so the next start tries again.
    void ProbeToneStart();
    void ProbeToneStop();
    // Refills and requeues the first buffer that has played; always 1 (handled).
    int ProbeToneRefill();
    // MM_WOM_DONE refills the buffer it names; MM_WOM_ERROR closes the player and shows the
    // error. False for any other event.
    bool ProbeToneEvent(QEvent* e);

    // The note played, read afresh at every fill (so a playing tone follows the A4 reference).
    void SetNote(int note) { m_nNote = note; }
    int Note() const { return m_nNote; }
    bool IsOpen() const { return m_output.IsOpen(); }
    double Phase() const { return m_oscillator.Phase(); }
    double Envelope() const { return m_dEnvelope; }

private:
    void ProbeToneFill(std::span<std::int16_t> buffer);

    const NoteTable& m_notes;
    ToneOutput m_output;
    ToneOscillator m_oscillator{{0.4, 0.5, 0.1}};
    int m_nNote = kNoteA4;
    double m_dEnvelope = 0.0;
};
