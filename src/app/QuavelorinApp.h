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
    static constexpr int kStartWidth = 1000; // the tuner at its width, the spectrum beside it

    CQuavelorinApp();
    ~CQuavelorinApp();

    // Builds and shows the window; the tuner starts listening. False when that failed.
    bool InitInstance();
    // Closes the window if still open, stops the sound engine and lets the sound library
    // finish before the process may end. Returns the exit code.
    int ExitInstance();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CWaveEngine* Engine() const { return m_engine.get(); }

private:
    std::unique_ptr<CWaveEngine> m_engine;
    std::unique_ptr<CMainFrame> m_frame;
    DeviceErrorHandler m_previousErrorHandler;
};
