#include "BuildSettings.h"
#include "CommandLine.h"
#include "EndProcess.h"
#include "MainFrame.h"
#include "QuavelorinApp.h"
#include "ReadingProbe.h"

#include <QApplication>

int main(int argc, char** argv) {
    // --help and --version need no display and leave a running copy alone.
    if (const std::optional<int> answered = CCommandLine::Answer(argc, argv)) {
        return *answered;
    }
    int code = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Quavelorin"));
        QApplication::setOrganizationName(QStringLiteral("Pelorin"));
        QApplication::setApplicationVersion(QStringLiteral(QUAVELORIN_VERSION));
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
    return EndProcess(code); // everything is closed; see why static objects are left alone
}
