#pragma once

#include "DeviceError.h"
#include "DisplayAnalyser.h"
#include "EventWait.h"
#include "Messages.h"
#include "WaveEngine.h"

#include <QCoreApplication>
#include <QObject>

#include <chrono>
#include <vector>

// Records every device error instead of showing it, for as long as it lives.
class ErrorRecorder {
public:
    ErrorRecorder() {
        m_previous = SetDeviceErrorHandler([this](const QString& m) { messages.push_back(m); });
    }
    ~ErrorRecorder() { SetDeviceErrorHandler(std::move(m_previous)); }

    std::vector<QString> messages;

private:
    DeviceErrorHandler m_previous;
};

// Stands where the listening session stands: passes device notifications to the engine and
// counts the spectrum notifications.
class NotifySink : public QObject {
public:
    CWaveEngine* engine = nullptr;
    int spectrumNotifications = 0;

protected:
    bool event(QEvent* e) override {
        if (e->type() == WM_SPECTRUM_READY) {
            ++spectrumNotifications;
            return true;
        }
        if (engine && engine->OnBufferDone(e) != 0) {
            return true;
        }
        return QObject::event(e);
    }
};
