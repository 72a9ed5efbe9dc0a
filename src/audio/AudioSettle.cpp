#include "AudioSettle.h"

#include <QCoreApplication>
#include <QElapsedTimer>

void LetAudioSettle(std::chrono::milliseconds time) {
    if (!QCoreApplication::instance()) {
        return;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < time.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}
