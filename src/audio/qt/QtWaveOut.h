#pragma once

#include "QueuedWaveDevice.h"

#include <QAudio>
#include <QObject>
#include <QTimer>

#include <memory>

class QAudioSink;
class QIODevice;

// Playback on the system's default output through Qt Multimedia. Queued buffers are handed to
// the sink as it has room (checked every 10 ms on the GUI thread); a buffer is done once the
// sink has taken all of it. When the sink stops with an error, its data device is forgotten
// and MM_WOM_ERROR is posted.
class QtWaveOut : public QObject, public QueuedWaveDevice<IWaveOut> {
    Q_OBJECT
public:
    QtWaveOut();
    ~QtWaveOut() override;

    WaveResult Open(QObject* notify) override;
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Close() override;

private:
    void Pump();
    void OnStateChanged(QAudio::State state);

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr; // owned by m_sink; null once the sink has failed
    QTimer m_timer;
};
