#pragma once

#include "DeviceError.h"
#include "InstanceLock.h"
#include "Language.h"

#include <QDate>

#include <memory>

class CMainFrame;
class CWaveEngine;

// The program's composition root. Start-up: one copy at a time, the system's language, the
// sound engine and the main window. Exit: the window and the engine in order, then the
// language and the lock, and on the first exit of a day the home page, if there is one.
class CQuavelorinApp {
public:
    static constexpr int kStartHeight = 552;
    static constexpr int kStartWidth = 1000; // the tuner at its width, the spectrum beside it

    CQuavelorinApp();
    ~CQuavelorinApp();

    // Builds and shows the window; the tuner starts listening. False when another copy runs
    // (it has been asked to come to the front) or the window could not be made.
    bool InitInstance();
    // Closes the window if still open, stops the sound engine, unloads the language, releases
    // the lock and opens the home page (when the program has one) on the day's first exit.
    // Runs once; returns the exit code.
    int ExitInstance();

    // True when "User"/"today" differs from `today` ("%04d/%02d/%02d"), which it then
    // stores. A day earlier than the stored one differs too; a store that cannot be read or
    // written gives true every time.
    static bool CheckToday(const QDate& today = QDate::currentDate());

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CWaveEngine* Engine() const { return m_engine.get(); }
    const CLanguage& Language() const { return m_language; }
    const CInstanceLock& Lock() const { return m_lock; }

private:
    CLanguage m_language;
    CInstanceLock m_lock;
    std::unique_ptr<CWaveEngine> m_engine;
    std::unique_ptr<CMainFrame> m_frame;
    DeviceErrorHandler m_previousErrorHandler;
    bool m_bStarted = false;
    bool m_bExited = false;
};
