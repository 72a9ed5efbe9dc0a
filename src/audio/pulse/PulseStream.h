#pragma once

#include "PulseConnection.h"
#include "WaveDevice.h"
#include "WaveQueue.h"

#include <pulse/stream.h>

#include <functional>
#include <memory>

// What the capture and output devices share about their one stream: making it on the
// process's connection, its failure (told to the notification object once, then nothing
// more), and letting it go. Everything here runs with the loop locked; the state hooks run on
// the loop's thread.
class PulseStream {
public:
    PulseStream(std::shared_ptr<PulseConnection> connection, WaveQueue& queue)
        : m_connection(std::move(connection)), m_queue(queue) {}
    ~PulseStream() { Release(); }

    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Makes the stream, not yet connected; the owner sets its data callback and connects it,
    // then calls Opened, or Release on failure.
    WaveResult Make(const char* name);
    void Opened(QObject* notify);
    // Gives every queued buffer back, stops the notifications and lets the stream go.
    void Release();
    // The same, but the stream itself is handed over, its callbacks detached.
    pa_stream* Detach();

    // Told once when the stream stops working, after the error is posted, and each time it
    // becomes ready (on the loop's thread).
    void SetFailureHook(std::function<void()> hook) { m_onFailure = std::move(hook); }
    void SetReadyHook(std::function<void()> hook) { m_onReady = std::move(hook); }
    // Stops the stream with this code as though the server had: once.
    void Fail(WaveResult code);

    pa_stream* Get() const { return m_stream; }
    bool IsLive() const { return m_stream && !m_bFailed; }
    bool IsReady() const { return IsLive() && pa_stream_get_state(m_stream) == PA_STREAM_READY; }
    PulseConnection& Connection() const { return *m_connection; }

private:
    static void OnState(pa_stream* stream, void* self);

    std::shared_ptr<PulseConnection> m_connection;
    WaveQueue& m_queue;
    pa_stream* m_stream = nullptr;
    bool m_bFailed = false;
    std::function<void()> m_onFailure;
    std::function<void()> m_onReady;
};
