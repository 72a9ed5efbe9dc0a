#pragma once

#include "AudioFormat.h"
#include "SampleRing.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class QObject;

// The small wave-device interface the engine drives. Buffers stay the engine's; a device fills
// (or plays) the ones queued to it in queue order and announces each one by posting
// MM_WIM_DATA (or MM_WOM_DONE) naming it to the notification object given at open, so that
// every notification is handled on the GUI thread. A device that stops by itself (the sound
// server went away, the device was removed) posts MM_WIM_ERROR (or MM_WOM_ERROR) once and
// fills or plays nothing more; the owner then closes it. All calls are made on the GUI thread.

using WaveResult = std::uint32_t;

constexpr WaveResult WAVE_NOERROR = 0;
constexpr WaveResult WAVE_ERR_ERROR = 1;      // the device stopped working while open
constexpr WaveResult WAVE_ERR_NODEVICE = 2;   // no device of this kind on the system
constexpr WaveResult WAVE_ERR_OPEN = 4;       // the device or the sound server refused
constexpr WaveResult WAVE_ERR_BADFORMAT = 32; // 16-bit mono 44100 Hz is not supported

constexpr std::uint32_t WHDR_DONE = 0x01;
constexpr std::uint32_t WHDR_PREPARED = 0x02;
constexpr std::uint32_t WHDR_INQUEUE = 0x10;

struct WaveHeader {
    std::int16_t* data = nullptr;
    int length = kBlockSamples; // samples
    int recorded = 0;           // samples filled (capture) or played (output)
    std::uint32_t flags = 0;
    // Stamped by the device each time the buffer is queued or given back, on the caller's
    // thread; its done notification carries the stamp, so a notification from an earlier
    // queueing is known as stale without reading the flags the device may be writing.
    std::uint64_t generation = 0;

    bool IsDone() const { return (flags & WHDR_DONE) != 0; }
};

// The operations common to both directions.
class IWaveDevice {
public:
    virtual ~IWaveDevice() = default;

    // Opens the system's default device as 16-bit mono 44100 Hz; WAVE_NOERROR on success.
    virtual WaveResult Open(QObject* notify) = 0;
    virtual WaveResult Prepare(WaveHeader& header) = 0;
    // Stops and gives back every queued buffer (marked done, no notification).
    virtual WaveResult Reset() = 0;
    virtual WaveResult Unprepare(WaveHeader& header) = 0;
    virtual WaveResult Close() = 0;
    virtual QString ErrorText(WaveResult code) const = 0;
};

// A source the user may record from: the server's name for it and the text it shows.
struct WaveSource {
    std::string name;
    QString description;
};

class IWaveIn : public IWaveDevice {
public:
    virtual WaveResult AddBuffer(WaveHeader& header) = 0;
    virtual WaveResult Start() = 0;

    // A device that can tell when opening may succeed again (a sound server answered, a source
    // appeared) posts MM_WIM_AVAILABLE to the watcher from then on, while it is not capturing;
    // null stops that. False when the device cannot tell: its owner then retries by itself.
    virtual bool WatchAvailability(QObject* watcher) {
        (void)watcher;
        return false;
    }
    // The sources to choose from; empty when the device offers no choice.
    virtual std::vector<WaveSource> Sources() const { return {}; }
    // Records from this source from the next open on while it exists, else from the default
    // source (followed when it changes); empty: the default.
    virtual void SetPreferredSource(const std::string& name) { (void)name; }
    // Stretches of captured sound dropped because no buffer was queued in time.
    virtual std::uint64_t LostStretches() const { return 0; }

    // From now on every stretch of sound filled into a buffer is also written to ring, on the
    // thread that fills it; null ends that. Clear it only while the device is closed.
    void SetTap(SampleRing* ring) { m_pTap.store(ring, std::memory_order_release); }

protected:
    // Called by each device's read path with the bytes it has just filled; does nothing
    // without a tap.
    virtual void Tap(std::span<const char> filled) {
        if (SampleRing* ring = m_pTap.load(std::memory_order_acquire)) {
            ring->Write(filled);
        }
    }

private:
    std::atomic<SampleRing*> m_pTap{nullptr};
};

class IWaveOut : public IWaveDevice {
public:
    // Queues the buffer behind those already queued.
    virtual WaveResult Write(WaveHeader& header) = 0;
    // Closes once everything given to the device has reached the speaker; the device may be
    // opened again meanwhile. A device that holds nothing ahead closes at once.
    virtual WaveResult CloseAfterPlaying() { return Close(); }
};

// The text of the codes above, shared by every implementation.
QString WaveErrorText(WaveResult code);
