// A race ThreadSanitizer must report: a counter written by a thread of its own and read in a
// timer handler on the GUI thread, with nothing between them. The reading side runs under Qt's
// event dispatch, as every handler of the program does, so a run whose suppressions hid this
// would hide the program's own races between the GUI and the sound library's thread too.
#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {
int g_nWritten = 0; // deliberately unguarded
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::atomic<bool> run{true};
    std::thread writer([&run] {
        while (run.load(std::memory_order_relaxed)) {
            ++g_nWritten;
            std::this_thread::yield(); // let the reader's core have a turn, without a clock
        }
    });
    int reads = 0;
    int last = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        last = g_nWritten;
        if (++reads == 50) {
            QCoreApplication::quit();
        }
    });
    timer.start(2);
    app.exec();
    run = false;
    writer.join();
    std::printf("canary: read %d last\n", last);
    return 0;
}
