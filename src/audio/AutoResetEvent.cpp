#include "AutoResetEvent.h"

void AutoResetEvent::Set() {
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_one();
}

void AutoResetEvent::Wait() {
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [this] { return m_bSignalled; });
    m_bSignalled = false;
}
