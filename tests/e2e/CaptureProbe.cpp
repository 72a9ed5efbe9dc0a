// Starts the listening machinery on the real sound server, captures for a moment, shuts down
// in order and exits at once: run many times in a row, it shows that start-up and teardown
// never crash or hang. Exit code 0 when at least one block arrived and everything stopped.
#include "DisplayAnalyser.h"
#include "Doreme.h"
#include "EndProcess.h"
#include "ListeningSession.h"
#include "SystemWaveDevices.h"
#include "WaveEngine.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    int status = 1;
    {
        QCoreApplication app(argc, argv);
        CDoreme doreme;
        CWaveEngine engine(doreme.Notes(), MakeSystemWaveIn(), MakeSystemWaveOut());
        DisplayAnalyser display(doreme.Notes(), engine);
        CListeningSession session(doreme, engine);
        session.Start();
        session.ToggleTone();
        QTimer::singleShot(900, &app, &QCoreApplication::quit);
        app.exec();
        status = display.Display()->serial > 0 ? 0 : 2;
        session.Stop();
    }
    std::printf("capture probe: %s\n", status == 0 ? "ok" : "no block arrived");
    return EndProcess(status);
}
