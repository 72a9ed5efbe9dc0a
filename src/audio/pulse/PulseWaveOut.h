#pragma once

#include "PulseStream.h"
#include "QueuedWaveDevice.h"

#include <memory>

// Output through the sound server's own client library, to the default sink. The server asks
// for sound on the loop's thread and takes it straight from the queued buffers; a buffer is
// done, and announced, once the server has all of it. The server holds up to aheadSeconds of
// sound: with the buffer queued behind, a GUI thread that is late with the next buffer by that
// much and more leaves no gap. Reset takes back what the server has not been given; what it
// holds plays on (so a tone can be faded out after it), until Close drops it. CloseAfterPlaying
// lets the stream play out what the server holds on its own, and only then lets it go, so a
// fade on a sink with a long latency is heard whole.
class PulseWaveOut : public QueuedWaveDevice<IWaveOut> {
public:
    explicit PulseWaveOut(double aheadSeconds);
    ~PulseWaveOut() override;

    WaveResult Open(QObject* notify) override;
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Close() override;
    WaveResult CloseAfterPlaying() override;

private:
    void Pump(std::size_t bytes);
    void ReleaseDrained();

    std::shared_ptr<PulseConnection> m_connection;
    double m_dAhead;
    // With the loop locked:
    PulseStream m_stream;
    pa_stream* m_draining = nullptr; // a closed stream still playing what it holds
    pa_operation* m_drain = nullptr;
};
