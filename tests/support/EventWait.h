#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <functional>

// Runs the event loop until done() holds or the time is up; returns done(). It sleeps between
// rounds: a spinning test thread would take the processor from the threads it waits for.
inline bool ProcessEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeout.count()) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return done();
}
