#pragma once

#include "WaveDevice.h"

#include <QEvent>

#include <array>
#include <functional>
#include <span>

class QObject;

// An output device with two circulating buffers, each refilled by the generator as soon as it
// has played. Used for the reference tone and the metronome's clip, and for the probe tone.
// Everything runs on the GUI thread.
class ToneOutput {
public:
    using Generator = std::function<void(std::span<std::int16_t>)>;

    explicit ToneOutput(IWaveOut& device);
    ~ToneOutput();

    ToneOutput(const ToneOutput&) = delete;
    ToneOutput& operator=(const ToneOutput&) = delete;

    void SetNotify(QObject* notify) { m_pNotify = notify; }
    void SetGenerator(Generator generator) { m_generator = std::move(generator); }
    // Told whenever the output opens or closes, whoever opened or closed it.
    void SetListener(std::function<void()> listener) { m_listener = std::move(listener); }

    // Opens the device and queues two buffers: silent ones, or the generator's first two. A
    // failure is shown and leaves the output closed, so the next start tries again. Does
    // nothing while open; true when open.
    bool Start(bool silentFirst);
    // Stops at once and closes; WAVE_NOERROR when it was not open.
    WaveResult Stop();
    bool IsOpen() const { return m_bOpen; }

    // MM_WOM_DONE and MM_WOM_ERROR (true); anything else is not the output's (false).
    bool OnEvent(QEvent* e);
    // Refills and requeues the buffer that has played: the one named, or with none named the
    // first one marked done (for a device that plays synchronously, in tests).
    void Refill(const WaveHeader* done);

private:
    IWaveOut& m_device;
    QObject* m_pNotify = nullptr;
    Generator m_generator;
    std::function<void()> m_listener;
    std::array<std::array<std::int16_t, kBlockSamples>, 2> m_buffers{};
    std::array<WaveHeader, 2> m_headers{};
    bool m_bOpen = false;
};
