#include "EndProcess.h"
#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "ReadingProbe.h"

#include <QApplication>

int main(int argc, char** argv) {
    int code = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quavelorin"));
        QApplication::setOrganizationName(QStringLiteral("Pelorin"));
        QApplication::setApplicationVersion(QStringLiteral("3.0.0.1"));
        // The desktop entry's name, so the desktop shows the installed icon with the window.
        QGuiApplication::setDesktopFileName(QStringLiteral("example.pelorin.Quavelorin"));

        CQuavelorinApp quavelorin;
        if (!quavelorin.InitInstance()) {
            code = quavelorin.ExitInstance();
        } else {
            {
                CReadingProbe probe(quavelorin.MainFrame());
                code = app.exec();
            }
            quavelorin.ExitInstance();
        }
    }
#ifdef QUAVELORIN_QT_AUDIO
    EndProcess(code); // everything is closed; see why static objects are left alone
#endif
    return code;
}
