#pragma once

#include "DeviceError.h"
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

// Stands where the tuner view stands: passes device notifications to the engine and counts
// what arrives.
class NotifySink : public QObject {
public:
    CWaveEngine* engine = nullptr;
    int captureNotifications = 0;
    int outputNotifications = 0;
    int spectrumNotifications = 0;
    std::vector<double> pitches;
    std::vector<PitchResultEvent::Source> sources;

protected:
    bool event(QEvent* e) override {
        if (e->type() == MM_WIM_DATA) {
            ++captureNotifications;
            engine->OnBufferDone(e->type());
            return true;
        }
        if (e->type() == MM_WOM_DONE) {
            ++outputNotifications;
            engine->OnBufferDone(e->type());
            return true;
        }
        if (e->type() == WM_SPECTRUM_READY) {
            ++spectrumNotifications;
            return true;
        }
        if (e->type() == WM_PITCH_RESULT) {
            auto* result = static_cast<PitchResultEvent*>(e);
            pitches.push_back(result->Frequency());
            sources.push_back(result->From());
            return true;
        }
        return QObject::event(e);
    }
};
