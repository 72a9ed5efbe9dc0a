#pragma once

#include "WaveDevice.h"

#include <QEvent>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class QObject;
class WaveDoneEvent;

// An output device with two circulating buffers, each refilled by the generator as soon as it
// has played: the reference tone and the metronome's clip, and the probe tone. Everything runs
// on the GUI thread.
//
// A tone may end softly (Release): what the device has not yet been given is taken back, and
// the tail writer puts in its place the tone's continuation from the first sample not given,
// ended as it likes, in a block that is silent beyond what it writes; once the device has that
// block it closes after playing what it holds, so the tail reaches the speaker whole. A start
// meanwhile keeps the device, and the new tone follows what is left of the tail. Stop closes
// at once.
class ToneOutput {
public:
    // Fills buffer 0 or 1 with the tone's next samples.
    using Generator = std::function<void(int buffer, std::span<std::int16_t> samples)>;
    // Writes the tail of a released tone, which continues from sample `offset` of `buffer`
    // (buffer -1: from where the generator stands), and returns how many samples of it sound.
    using TailWriter = std::function<int(int buffer, int offset, std::span<std::int16_t> tail)>;

    explicit ToneOutput(IWaveOut& device);
    ~ToneOutput();

    ToneOutput(const ToneOutput&) = delete;
    ToneOutput& operator=(const ToneOutput&) = delete;

    void SetNotify(QObject* notify) { m_pNotify = notify; }
    void SetGenerator(Generator generator) { m_generator = std::move(generator); }
    // Told whenever the output opens or closes, whoever opened or closed it.
    void SetListener(std::function<void()> listener) { m_listener = std::move(listener); }

    // Opens the device (unless a released tail still plays) and queues two buffers: silent
    // ones, or the generator's first two. A failure is shown and leaves the output closed, so
    // the next start tries again. Does nothing while playing; true when playing.
    bool Start(bool silentFirst);
    // Ends the tone with the tail the writer gives; nothing unless playing.
    void Release(const TailWriter& tail);
    // Stops at once and closes; WAVE_NOERROR when it was not open.
    WaveResult Stop() { return Close(false); }
    // Open: while playing, and while a released tail plays out.
    bool IsOpen() const { return m_state != State::Closed; }
    bool IsPlaying() const { return m_state == State::Playing; }

    // MM_WOM_DONE and MM_WOM_ERROR (true); anything else is not the output's (false).
    bool OnEvent(QEvent* e);
    // Refills and requeues the buffer that has played, or closes once a released tail has:
    // the buffer named, or with none named the first one marked done (for a device that plays
    // synchronously, in tests).
    void Refill(const WaveDoneEvent* done);

private:
    enum class State { Closed, Playing, Releasing };

    // Takes back what the device has not been given and closes it: at once, or once what it
    // was given has reached the speaker.
    WaveResult Close(bool afterPlaying);
    void Fill(int buffer, bool silent);
    // After a take-back: queues again what the device has not been given of the last tail's
    // rest; false when nothing was left.
    bool RequeueRest();
    // Unprepares every buffer, then queues these samples of a tail (they may lie in the rest's
    // own buffer) as the rest.
    void QueueRest(const std::int16_t* samples, int count);

    IWaveOut& m_device;
    QObject* m_pNotify = nullptr;
    Generator m_generator;
    std::function<void()> m_listener;
    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_buffers{};
    std::array<WaveHeader, 2> m_headers{};
    std::array<std::uint64_t, 2> m_fills{}; // each buffer's place among the fills
    std::uint64_t m_nFills = 0;
    int m_nTailSound = 0; // samples of the released tail that sound (the rest is silence)
    std::vector<std::int16_t> m_rest;
    WaveHeader m_restHeader;
    int m_nRest = 0;
    State m_state = State::Closed;
};
