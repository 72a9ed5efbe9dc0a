#pragma once

#include "QueuedWaveDevice.h"

#include <QByteArray>
#include <QObject>

#include <memory>

class QAudioSource;
class QIODevice;

// Capture from the system's default input through Qt Multimedia. The source delivers on the
// GUI thread; its data fills the queued buffers once Start has been called.
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

    std::unique_ptr<QAudioSource> m_source;
    QIODevice* m_io = nullptr;
    QByteArray m_carry; // an odd byte left from the last read
    bool m_bStarted = false;
};
