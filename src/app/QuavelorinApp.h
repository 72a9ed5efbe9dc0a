#pragma once

#include "DeviceError.h"

#include <memory>

class CMainFrame;
class CWaveEngine;

// The program's composition root: creates the sound engine and the main window at start-up,
// and takes them down in order at exit.
class CQuavelorinApp {
public:
    static constexpr int kStartHeight = 552;
    static constexpr int kStartWidth = 400;

    CQuavelorinApp();
    ~CQuavelorinApp();

    // Builds and shows the window; the tuner starts listening. False when that failed.
    bool InitInstance();
    // Closes the window if still open and stops the sound engine; safe to call more than once.
    // Returns the exit code. The process then ends with EndProcess (see there why).
    int ExitInstance();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CWaveEngine* Engine() const { return m_engine.get(); }

private:
    std::unique_ptr<CWaveEngine> m_engine;
    std::unique_ptr<CMainFrame> m_frame;
    DeviceErrorHandler m_previousErrorHandler;
};
