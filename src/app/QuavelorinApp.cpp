#include "QuavelorinApp.h"

#include "DataFiles.h"
#include "DeviceErrorBox.h"
#include "Doreme.h"
#include "HomePage.h"
#include "MainFrame.h"
#include "SettingsStore.h"
#include "SystemWaveDevices.h"
#include "WaveEngine.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSettings>
#include <QUrl>

#include <algorithm>

CQuavelorinApp::CQuavelorinApp() = default;

CQuavelorinApp::~CQuavelorinApp() {
    if (m_bStarted) {
        ExitInstance();
    }
}

bool CQuavelorinApp::InitInstance() {
    m_bStarted = true;
    // Before anything is shown, so a second copy shows nothing at all.
    if (!m_lock.Acquire()) {
        return false;
    }
    const QString languageError = m_language.Load(QLocale(), CDataFiles::Folders());
    if (!languageError.isEmpty()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Error"), languageError,
                        QMessageBox::Ok);
        box.setObjectName("languageErrorBox");
        box.exec();
    }

    // Sound device failures are shown to the user in a message box.
    m_previousErrorHandler = SetDeviceErrorHandler(
        [this](const QString& message) { ShowDeviceErrorBox(m_frame.get(), message); });

    // Before anything reads or writes a setting; told once the window is up.
    const QString settingsProblem = CSettingsStore::CheckAtStartUp();

    m_engine =
        std::make_unique<CWaveEngine>(TheDoreme().Notes(), MakeSystemWaveIn(), MakeSystemWaveOut());
    // The source the user picked, while the server has it; else the desktop's default.
    m_engine->CaptureDevice().SetPreferredSource(CSettingsStore::ReadInputSource().toStdString());
    m_frame =
        std::make_unique<CMainFrame>(TheDoreme(), *m_engine, MakeSystemWaveOut(OutputLead::Quick));
    // Brought to the front when another copy starts; a minimised window stays minimised.
    QObject::connect(&m_lock, &CInstanceLock::RaiseRequested, m_frame.get(), [this] {
        m_frame->raise();
        m_frame->activateWindow();
    });
    m_frame->InitialUpdate();
    m_frame->resize(std::max(m_frame->sizeHint().width(), kStartWidth), kStartHeight);
    m_frame->show();
    if (!settingsProblem.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quavelorin"), settingsProblem,
                        QMessageBox::Ok, m_frame.get());
        box.setObjectName("settingsErrorBox");
        box.exec();
    }
    return true;
}

int CQuavelorinApp::ExitInstance() {
    if (m_bExited) {
        return 0;
    }
    m_bExited = true;
    if (m_engine) {
        m_frame.reset();  // stops capture, output and the worker
        m_engine.reset(); // joins the capture thread
        SetDeviceErrorHandler(std::move(m_previousErrorHandler));
    }
    m_language.Unload();
    m_lock.Release();
    // Without a home page there is no visit, and no date to keep for one.
    const QString homePage = CHomePage::Address();
    if (!homePage.isEmpty() && CheckToday()) {
        QDesktopServices::openUrl(QUrl(homePage));
    }
    return 0;
}

bool CQuavelorinApp::CheckToday(const QDate& today) {
    const QString date =
        QString::asprintf("%04d/%02d/%02d", today.year(), today.month(), today.day());
    QSettings store(QStringLiteral("Pelorin"), QStringLiteral("Quavelorin"));
    const QString key = QStringLiteral("User/today");
    if (store.value(key, QStringLiteral("----/--/--")).toString() == date) {
        return false;
    }
    store.setValue(key, date);
    return true;
}
