#pragma once

#include "QueuedWaveDevice.h"

#include <QAudio>
#include <QObject>

#include <memory>

class QAudioSource;
class QIODevice;

// Capture from the system's default input through Qt Multimedia. The source delivers on the
// GUI thread; once Start has been called its data is read straight into the queued buffers.
// When the source stops with an error (the sound server went away), its data device is no
// longer valid: it is forgotten at once, never touched again, and MM_WIM_ERROR is posted.
//
// Qt 6.4's PulseAudio back end tries once, 3 s after losing the server, to connect again, and
// never connects when no server answered at start: a server that comes back later than that
// is not seen by this process, and opening keeps failing (quietly, when retried).
class QtWaveIn : public QObject, public QueuedWaveDevice<IWaveIn> {
    Q_OBJECT
public:
    QtWaveIn();
    ~QtWaveIn() override;

    WaveResult Open(QObject* notify) override;
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Close() override;

private:
    void OnReadyRead();
    void OnStateChanged(QAudio::State state);

    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_io = nullptr; // owned by m_source; null once the source has failed
    bool m_bStarted = false;
};
