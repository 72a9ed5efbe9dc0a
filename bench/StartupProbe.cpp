// Time from the start of the process to the shown main window with its event loop running, as
// the program starts (offscreen). Prints the figure, closes the window and exits.
#include "MainFrame.h"
#include "QuavelorinApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CQuavelorinApp quavelorin;
    if (!quavelorin.InitInstance()) {
        return 2;
    }
    QTimer::singleShot(0, [&] {
        std::printf("main window shown after %lld ms\n", static_cast<long long>(clock.elapsed()));
        // A moment of listening before the close, as a user would give it.
        QTimer::singleShot(300, quavelorin.MainFrame(), &QWidget::close);
    });
    const int code = app.exec();
    quavelorin.ExitInstance();
    return code;
}
