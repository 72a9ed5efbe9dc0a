#pragma once

#include "PulseConnection.h"
#include "QueuedWaveDevice.h"

#include <memory>

struct pa_stream;

// Output through the sound server's own client library, to the default sink. The server asks
// for sound on the loop's thread and takes it straight from the queued buffers; a buffer is
// done, and announced, once the server has all of it. The server holds kAheadSeconds of sound,
// so a GUI thread that is late with the next buffer by that long leaves no gap. Reset drops
// what the server holds, so a stopped tone stops at once.
class PulseWaveOut : public QueuedWaveDevice<IWaveOut> {
public:
    static constexpr double kAheadSeconds = 0.6;

    PulseWaveOut();
    ~PulseWaveOut() override;

    WaveResult Open(QObject* notify) override;
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Close() override;

private:
    void Pump(std::size_t bytes);
    static void OnState(pa_stream* stream, void* self);

    std::shared_ptr<PulseConnection> m_connection;
    // With the loop locked:
    pa_stream* m_stream = nullptr;
    bool m_bFailed = false;
};
