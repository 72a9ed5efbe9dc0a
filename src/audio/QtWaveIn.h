#pragma once

#include "WaveDevice.h"
#include "WaveQueue.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSource;
class QIODevice;

// Capture from the system's default input through Qt Multimedia. The source delivers on the
// GUI thread; its data fills the queued buffers once Start has been called.
class QtWaveIn : public QObject, public IWaveIn {
    Q_OBJECT
public:
    QtWaveIn();
    ~QtWaveIn() override;

    WaveResult Open(QObject* notify) override;
    WaveResult Prepare(WaveHeader& header) override { return m_queue.Prepare(header); }
    WaveResult AddBuffer(WaveHeader& header) override;
    WaveResult Start() override;
    WaveResult Reset() override;
    WaveResult Unprepare(WaveHeader& header) override { return m_queue.Unprepare(header); }
    WaveResult Close() override;
    QString ErrorText(WaveResult code) const override { return WaveErrorText(code); }

private:
    void OnReadyRead();

    WaveQueue m_queue;
    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_io = nullptr;
    QByteArray m_carry; // an odd byte left from the last read
    bool m_bStarted = false;
};
