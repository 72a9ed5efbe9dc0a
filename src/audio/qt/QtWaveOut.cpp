#include "QtWaveOut.h"

#include "Messages.h"
#include "QtAudioFormat.h"

#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>

QtWaveOut::QtWaveOut() : QueuedWaveDevice(MM_WOM_DONE, MM_WOM_ERROR) {
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &QtWaveOut::Pump);
}

QtWaveOut::~QtWaveOut() {
    Close();
}

WaveResult QtWaveOut::Open(QObject* notify) {
    if (m_sink) {
        return WAVE_ERR_OPEN;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return WAVE_ERR_NODEVICE;
    }
    const QAudioFormat format = BlockAudioFormat();
    if (!device.isFormatSupported(format)) {
        return WAVE_ERR_BADFORMAT;
    }
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->setBufferSize(kBlockSamples); // bytes: about 0.19 s ahead of the speaker
    m_io = m_sink->start();
    if (!m_io || m_sink->error() != QAudio::NoError) {
        m_io = nullptr;
        m_sink.reset();
        return WAVE_ERR_OPEN;
    }
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &QtWaveOut::OnStateChanged);
    m_queue.SetNotify(notify);
    m_timer.start();
    return WAVE_NOERROR;
}

WaveResult QtWaveOut::Write(WaveHeader& header) {
    if (!m_sink) {
        return WAVE_ERR_OPEN;
    }
    const WaveResult result = m_queue.Enqueue(header);
    Pump();
    return result;
}

WaveResult QtWaveOut::Reset() {
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult QtWaveOut::Close() {
    m_timer.stop();
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    if (m_sink) {
        disconnect(m_sink.get(), nullptr, this, nullptr);
        m_io = nullptr;
        m_sink->stop();
        m_sink.reset();
    }
    return WAVE_NOERROR;
}

void QtWaveOut::OnStateChanged(QAudio::State state) {
    // An underrun leaves the sink idle, not stopped: only a stop with an error is a failure.
    if (state != QAudio::StoppedState || !m_sink || m_sink->error() == QAudio::NoError || !m_io) {
        return;
    }
    m_io = nullptr;
    m_timer.stop();
    m_queue.ReportError(WAVE_ERR_ERROR);
}

void QtWaveOut::Pump() {
    while (m_sink && m_io) {
        const auto pending = m_queue.HeadBytes();
        const qsizetype room = m_sink->bytesFree();
        if (pending.empty() || room < 2) {
            return;
        }
        const qsizetype chunk = std::min<qsizetype>(room, static_cast<qsizetype>(pending.size()));
        const qint64 written = m_io->write(pending.data(), chunk - chunk % 2);
        if (written <= 0) {
            return;
        }
        m_queue.Advance(static_cast<std::size_t>(written));
    }
}
