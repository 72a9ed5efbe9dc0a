#include "AutoResetEvent.h"

void AutoResetEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_one();
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, timeout, [this] { return m_bSignalled; })) {
        return false;
    }
    m_bSignalled = false;
    return true;
}

void AutoResetEvent::Wait() {
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bSignalled; });
    m_bSignalled = false;
}
