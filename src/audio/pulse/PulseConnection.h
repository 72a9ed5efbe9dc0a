#pragma once

#include <QString>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pulse/mainloop-api.h>
#include <pulse/sample.h>

struct pa_context;
struct pa_threaded_mainloop;

// The process's one connection to the sound server: a threaded main loop and a context, kept
// for as long as a device holds it. When the server goes away the context is dropped and a
// fresh one tries to connect once a second until a server answers, however long that takes; a
// context cannot connect twice.
//
// Every call into the library from outside the loop's callbacks holds the loop's lock (Lock).
// The loop's thread never waits on the GUI thread: devices post events from it.
class PulseConnection {
public:
    struct Source {
        std::string name;
        QString description;
    };

    // Told on the loop's thread, with the loop locked, whenever the server connected, a source
    // came or went, or the default source changed (not for a source's volume, mute or
    // suspension). Add and remove with the loop locked.
    class Client {
    public:
        virtual void ServerChanged() = 0;

    protected:
        ~Client() = default;
    };

    // The connection every device of the process shares; made on first use, and ended (its
    // loop joined) when the last device lets go of it.
    static std::shared_ptr<PulseConnection> Shared();
    ~PulseConnection();

    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    class Lock {
    public:
        explicit Lock(const PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    // The context when it is connected, else null. With the loop locked.
    pa_context* ReadyContext() const;
    // The server's sources, monitors left out, and its default source; empty while no server
    // answers.
    std::vector<Source> Sources() const;
    std::string DefaultSource() const;
    bool HasSource(const std::string& name) const;
    // Whether this source only repeats what a sink plays.
    bool IsMonitor(const std::string& name) const;
    // The source to record from: the preferred one while it exists, else the default unless
    // it is a monitor, else the first source that is not; empty when there is none.
    std::string CaptureSource(const std::string& preferred) const;

    // A timer on the loop's thread, with the loop locked; Stop leaves the pointer null.
    using TimeCallback = void (*)(pa_mainloop_api*, pa_time_event*, const timeval*, void*);
    pa_time_event* StartTimer(pa_usec_t delay, TimeCallback callback, void* userdata) const;
    void RestartTimer(pa_time_event* event, pa_usec_t delay) const;
    void StopTimer(pa_time_event*& event) const;

    void AddClient(Client* client);
    void RemoveClient(Client* client);

private:
    PulseConnection();
    void Connect();
    void DropContext();
    void ScheduleReconnect();
    void Refresh();
    void RefreshDone();
    void WaitForFirstAnswer();
    static void OnContextState(pa_context* context, void* self);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_time_event* m_reconnect = nullptr;
    bool m_bReady = false;
    bool m_bAnswered = false; // the first connection attempt has an outcome
    int m_nPendingQueries = 0;
    bool m_bRefreshAgain = false;
    std::vector<Client*> m_clients;

    mutable std::mutex m_sourcesMutex; // guards the two below; taken on any thread
    std::vector<Source> m_sources;
    std::vector<std::string> m_monitors;
    std::string m_defaultSource;

    // The lists being gathered, on the loop's thread.
    std::vector<Source> m_nextSources;
    std::vector<std::string> m_nextMonitors;
};
