#pragma once

#include <condition_variable>
#include <mutex>

// An event that wakes one waiter and resets itself; several Sets before a wait count as one.
class AutoResetEvent {
public:
    void Set();
    // Returns once the event is set (and resets it); a thread woken for shut-down is set too.
    void Wait();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bSignalled = false;
};
