#pragma once

#include "NoteTable.h"
#include "ToneOscillator.h"
#include "ToneOutput.h"
#include "WaveDevice.h"

#include <array>
#include <cstdint>
#include <span>

class QObject;

// The probe tone: a note of the table sounded on an output device of its own, through a tone
// output of its own, while the user holds the mouse on the note's label. The owner receives
// MM_WOM_DONE for each buffer played and calls ProbeToneRefill, so every fill runs on the GUI
// thread.
//
// The tone is the fundamental at 0.4 with its octave at 0.5 and its twelfth at 0.1, rising
// softly as 1 - (4999/5000)^n; phase and envelope run on across buffers. It ends without a
// click: ProbeToneStop takes back what the device has not yet played and queues instead the
// tone's continuation from the last sample played, faded out over kReleaseSamples (about
// 5 ms) and followed by silence to the end of a block; the device closes once that block has
// played. A start in the meantime keeps the device: the new tone follows the rest of the fade.
// ProbeToneStart while playing and ProbeToneStop while not playing do nothing (Stop still
// resets the phase); a refill after the device was closed is ignored.
class ProbeTone {
public:
    static constexpr double kAmplitude = 28000.0;
    static constexpr int kReleaseSamples = 220;

    ProbeTone(const NoteTable& notes, IWaveOut& device);
    ~ProbeTone();

    ProbeTone(const ProbeTone&) = delete;
    ProbeTone& operator=(const ProbeTone&) = delete;

    // Records the object that receives the device's notifications.
    void ProbeToneInit(QObject* owner);
    // Opens the device and queues two fresh buffers. A failed open shows the wave-output
    // error box and leaves the player closed, so the next start tries again.
    void ProbeToneStart();
    // Fades the tone out; the device stays open until the fade has played.
    void ProbeToneStop();
    // Closes the device at once, without a fade: for the owner going away.
    void ProbeToneClose();
    // Refills and requeues the first buffer that has played, or closes the device once the
    // fade has played; always 1 (handled).
    // done is the buffer the notification names; with none named, the first one done.
    int ProbeToneRefill(const WaveDoneEvent* done = nullptr);

    // The note played, read afresh at every fill (so a playing tone follows the A4 reference).
    void SetNote(int note) { m_nNote = note; }
    int Note() const { return m_nNote; }
    // The tone sounds and is refilled: from a successful start until the stop.
    bool IsPlaying() const { return m_output.IsPlaying(); }
    // The device is open: while playing, and while the fade plays out.
    bool IsOpen() const { return m_output.IsOpen(); }
    double Phase() const { return m_voice.oscillator.Phase(); }
    double Envelope() const { return m_voice.envelope; }

private:
    // The tone before its next sample: the oscillator, the attack envelope, and the frequency
    // of the note it plays.
    struct Voice {
        ToneOscillator oscillator{{0.4, 0.5, 0.1}};
        double envelope = 0.0;
        double hz = 0.0;
    };

    void ProbeToneFill(int buffer, std::span<std::int16_t> samples);
    // The fade: the tone's continuation from sample offset of buffer, faded out.
    int ProbeToneFade(int buffer, int offset, std::span<std::int16_t> tail) const;
    // The next sample of the voice, which moves on by one sample.
    static double NextSample(Voice& voice);
    static void Advance(Voice& voice);

    const NoteTable& m_notes;
    ToneOutput m_output;
    std::array<Voice, 2> m_starts{}; // the voice at each buffer's first sample
    int m_nNote = kNoteA4;
    Voice m_voice;
};
