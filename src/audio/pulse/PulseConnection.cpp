#include "PulseConnection.h"

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace {

constexpr pa_usec_t kReconnectDelay = 1000 * 1000;   // between attempts while no server answers
constexpr pa_usec_t kFirstAnswerLimit = 2000 * 1000; // a start-up never waits longer on a server

pa_time_event* After(pa_threaded_mainloop* loop, pa_usec_t delay,
                     PulseConnection::TimeCallback callback, void* userdata) {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, delay);
    return api->time_new(api, &when, callback, userdata);
}

void FreeTimer(pa_threaded_mainloop* loop, pa_time_event*& event) {
    if (event) {
        pa_mainloop_api* api = pa_threaded_mainloop_get_api(loop);
        api->time_free(event);
        event = nullptr;
    }
}

} // namespace

std::shared_ptr<PulseConnection> PulseConnection::Shared() {
    static std::mutex mutex;
    static std::weak_ptr<PulseConnection> shared;
    std::lock_guard lock(mutex);
    std::shared_ptr<PulseConnection> connection = shared.lock();
    if (!connection) {
        connection.reset(new PulseConnection());
        shared = connection;
    }
    return connection;
}

PulseConnection::PulseConnection() {
    m_loop = pa_threaded_mainloop_new();
    pa_threaded_mainloop_start(m_loop);
    Lock lock(*this);
    Connect();
    WaitForFirstAnswer();
}

PulseConnection::~PulseConnection() {
    {
        Lock lock(*this);
        m_clients.clear();
        FreeTimer(m_loop, m_reconnect);
        DropContext();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

PulseConnection::Lock::Lock(const PulseConnection& connection) : m_loop(connection.m_loop) {
    pa_threaded_mainloop_lock(m_loop);
}

PulseConnection::Lock::~Lock() {
    pa_threaded_mainloop_unlock(m_loop);
}

// Devices are opened right after start-up: the first attempt gets a moment to find the server
// and its sources, so the desktop's microphone is not reported missing while the library is
// still shaking hands.
void PulseConnection::WaitForFirstAnswer() {
    pa_time_event* limit = After(
        m_loop, kFirstAnswerLimit,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            connection->m_bAnswered = true;
            pa_threaded_mainloop_signal(connection->m_loop, 0);
        },
        this);
    while (!m_bAnswered) {
        pa_threaded_mainloop_wait(m_loop);
    }
    FreeTimer(m_loop, limit);
}

void PulseConnection::Connect() {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    m_context = pa_context_new(api, "Quavelorin");
    pa_context_set_state_callback(m_context, &PulseConnection::OnContextState, this);
    pa_context_set_subscribe_callback(
        m_context,
        [](pa_context*, pa_subscription_event_type_t event, uint32_t, void* self) {
            // A source's volume, mute or suspension changes nothing that is asked for here:
            // only its coming and going, and the server's default.
            const auto facility = event & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
            const auto kind = event & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
            if (facility == PA_SUBSCRIPTION_EVENT_SOURCE && kind == PA_SUBSCRIPTION_EVENT_CHANGE) {
                return;
            }
            static_cast<PulseConnection*>(self)->Refresh();
        },
        this);
    // No server of our own making: the desktop starts its server, and we find it.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        m_bAnswered = true;
        ScheduleReconnect();
    }
}

void PulseConnection::DropContext() {
    if (!m_context) {
        return;
    }
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
    m_bReady = false;
    m_nPendingQueries = 0;
}

void PulseConnection::ScheduleReconnect() {
    if (m_reconnect) {
        return;
    }
    // A new context from the timer, not from inside the old one's callback.
    m_reconnect = After(
        m_loop, kReconnectDelay,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            FreeTimer(connection->m_loop, connection->m_reconnect);
            connection->DropContext();
            connection->Connect();
        },
        this);
}

void PulseConnection::OnContextState(pa_context* context, void* self) {
    auto* connection = static_cast<PulseConnection*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        connection->m_bReady = true;
        const auto mask = static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SOURCE |
                                                              PA_SUBSCRIPTION_MASK_SERVER);
        pa_operation* subscribe = pa_context_subscribe(context, mask, nullptr, nullptr);
        if (subscribe) {
            pa_operation_unref(subscribe);
        }
        connection->Refresh();
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: {
        connection->m_bReady = false;
        {
            std::lock_guard lock(connection->m_sourcesMutex);
            connection->m_sources.clear();
            connection->m_monitors.clear();
            connection->m_defaultSource.clear();
        }
        connection->m_bAnswered = true;
        pa_threaded_mainloop_signal(connection->m_loop, 0);
        connection->ScheduleReconnect();
        break;
    }
    default:
        break;
    }
}

// The default source and the list of sources, asked for together; clients hear of them once
// both have answered.
void PulseConnection::Refresh() {
    if (!m_bReady || m_nPendingQueries > 0) {
        // The answers under way may predate this change: ask again once they are in.
        m_bRefreshAgain = m_bReady;
        return;
    }
    m_bRefreshAgain = false;
    m_nextSources.clear();
    m_nextMonitors.clear();
    m_nPendingQueries = 2;
    pa_operation* server = pa_context_get_server_info(
        m_context,
        [](pa_context*, const pa_server_info* info, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            if (info && info->default_source_name) {
                std::lock_guard lock(connection->m_sourcesMutex);
                connection->m_defaultSource = info->default_source_name;
            }
            connection->RefreshDone();
        },
        this);
    pa_operation* sources = pa_context_get_source_info_list(
        m_context,
        [](pa_context*, const pa_source_info* info, int eol, void* self) {
            auto* connection = static_cast<PulseConnection*>(self);
            if (eol != 0) {
                connection->RefreshDone();
                return;
            }
            if (info && info->monitor_of_sink == PA_INVALID_INDEX) {
                connection->m_nextSources.push_back(
                    {info->name,
                     QString::fromUtf8(info->description ? info->description : info->name)});
            } else if (info) {
                connection->m_nextMonitors.push_back(info->name);
            }
        },
        this);
    for (pa_operation* operation : {server, sources}) {
        if (operation) {
            pa_operation_unref(operation);
        } else {
            RefreshDone();
        }
    }
}

void PulseConnection::RefreshDone() {
    if (m_nPendingQueries == 0 || --m_nPendingQueries > 0) {
        return;
    }
    {
        std::lock_guard lock(m_sourcesMutex);
        m_sources = m_nextSources;
        m_monitors = m_nextMonitors;
    }
    m_bAnswered = true;
    pa_threaded_mainloop_signal(m_loop, 0);
    for (Client* client : std::vector<Client*>(m_clients)) {
        client->ServerChanged();
    }
    if (m_bRefreshAgain) {
        Refresh();
    }
}

pa_context* PulseConnection::ReadyContext() const {
    return m_bReady ? m_context : nullptr;
}

std::vector<PulseConnection::Source> PulseConnection::Sources() const {
    std::lock_guard lock(m_sourcesMutex);
    return m_sources;
}

std::string PulseConnection::DefaultSource() const {
    std::lock_guard lock(m_sourcesMutex);
    return m_defaultSource;
}

bool PulseConnection::HasSource(const std::string& name) const {
    std::lock_guard lock(m_sourcesMutex);
    return std::any_of(m_sources.begin(), m_sources.end(),
                       [&](const Source& source) { return source.name == name; });
}

void PulseConnection::AddClient(Client* client) {
    m_clients.push_back(client);
}

void PulseConnection::RemoveClient(Client* client) {
    std::erase(m_clients, client);
}

bool PulseConnection::IsMonitor(const std::string& name) const {
    std::lock_guard lock(m_sourcesMutex);
    return std::find(m_monitors.begin(), m_monitors.end(), name) != m_monitors.end();
}

std::string PulseConnection::CaptureSource(const std::string& preferred) const {
    std::lock_guard lock(m_sourcesMutex);
    const auto listed = [&](const std::string& name) {
        return !name.empty() &&
               std::any_of(m_sources.begin(), m_sources.end(),
                           [&](const Source& source) { return source.name == name; });
    };
    if (listed(preferred)) {
        return preferred;
    }
    // The server falls back to a monitor when the last microphone goes: what the speakers
    // play is never taken for what the instrument plays.
    if (listed(m_defaultSource)) {
        return m_defaultSource;
    }
    return m_sources.empty() ? std::string() : m_sources.front().name;
}

pa_time_event* PulseConnection::StartTimer(pa_usec_t delay, TimeCallback callback,
                                           void* userdata) const {
    return After(m_loop, delay, callback, userdata);
}

void PulseConnection::RestartTimer(pa_time_event* event, pa_usec_t delay) const {
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(m_loop);
    timeval when{};
    pa_gettimeofday(&when);
    pa_timeval_add(&when, delay);
    api->time_restart(event, &when);
}

void PulseConnection::StopTimer(pa_time_event*& event) const {
    FreeTimer(m_loop, event);
}
