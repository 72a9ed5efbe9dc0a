#include "QuavelorinApp.h"

#include "AudioSettle.h"
#include "Doreme.h"
#include "MainFrame.h"
#include "QtWaveIn.h"
#include "QtWaveOut.h"
#include "SettingsStore.h"
#include "WaveEngine.h"

#include <QApplication>
#include <QMessageBox>

#include <algorithm>

CQuavelorinApp::CQuavelorinApp() = default;

CQuavelorinApp::~CQuavelorinApp() {
    ExitInstance();
}

bool CQuavelorinApp::InitInstance() {
    // Sound device failures are shown to the user in a message box with the program's title.
    m_previousErrorHandler = SetDeviceErrorHandler([this](const QString& message) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quavelorin"), message,
                        QMessageBox::Ok, m_frame.get());
        box.setObjectName("deviceErrorBox");
        box.exec();
    });

    m_engine = std::make_unique<CWaveEngine>(TheDoreme().Notes(), std::make_unique<QtWaveIn>(),
                                             std::make_unique<QtWaveOut>());
    m_frame = std::make_unique<CMainFrame>(TheDoreme(), *m_engine);
    m_frame->InitialUpdate();
    m_frame->resize(std::max(m_frame->sizeHint().width(), kStartWidth), kStartHeight);
    m_frame->show();
    if (const QString problem = CSettingsStore::CheckAtStartUp(); !problem.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quavelorin"), problem,
                        QMessageBox::Ok, m_frame.get());
        box.setObjectName("settingsErrorBox");
        box.exec();
    }
    return true;
}

int CQuavelorinApp::ExitInstance() {
    if (!m_frame && !m_engine) {
        return 0;
    }
    m_frame.reset();  // stops capture, output and the worker
    m_engine.reset(); // joins the capture thread
    LetAudioSettle();
    SetDeviceErrorHandler(std::move(m_previousErrorHandler));
    return 0;
}
