#pragma once

#include "WaveDevice.h"
#include "WaveQueue.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QAudioSink;
class QIODevice;

// Playback on the system's default output through Qt Multimedia. Queued buffers are handed to
// the sink as it has room (checked every 10 ms on the GUI thread); a buffer is done once the
// sink has taken all of it.
class QtWaveOut : public QObject, public IWaveOut {
    Q_OBJECT
public:
    QtWaveOut();
    ~QtWaveOut() override;

    WaveResult Open(QObject* notify) override;
    WaveResult Prepare(WaveHeader& header) override { return m_queue.Prepare(header); }
    WaveResult Write(WaveHeader& header) override;
    WaveResult Reset() override;
    WaveResult Unprepare(WaveHeader& header) override { return m_queue.Unprepare(header); }
    WaveResult Close() override;
    QString ErrorText(WaveResult code) const override { return WaveErrorText(code); }

private:
    void Pump();

    WaveQueue m_queue;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_io = nullptr;
    QTimer m_timer;
};
