// Starts the real program on the offscreen platform, plays the reference tone, closes the
// window after a moment and exits the way the program does. Run many times in a row, it shows
// that closing never hangs or crashes.
#include "Commands.h"
#include "EndProcess.h"
#include "MainFrame.h"
#include "QuavelorinApp.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int code = 2;
    {
        QApplication app(argc, argv);
        CQuavelorinApp quavelorin;
        if (quavelorin.InitInstance()) {
            quavelorin.MainFrame()->OnCommand(ID_STANDARD_TONE);
            QTimer::singleShot(1200, quavelorin.MainFrame(), &QWidget::close);
            code = app.exec();
        }
        quavelorin.ExitInstance();
    }
    std::printf("app probe: closed, exit %d\n", code);
    return EndProcess(code);
}
