#include "QtWaveIn.h"

#include "Messages.h"
#include "QtAudioFormat.h"

#include <QAudioSource>
#include <QMediaDevices>

QtWaveIn::QtWaveIn() : QueuedWaveDevice(MM_WIM_DATA, MM_WIM_ERROR) {}

QtWaveIn::~QtWaveIn() {
    Close();
}

WaveResult QtWaveIn::Open(QObject* notify) {
    if (m_source) {
        return WAVE_ERR_OPEN;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        return WAVE_ERR_NODEVICE;
    }
    const QAudioFormat format = BlockAudioFormat();
    if (!device.isFormatSupported(format)) {
        return WAVE_ERR_BADFORMAT;
    }
    m_source = std::make_unique<QAudioSource>(device, format);
    m_source->setBufferSize(8192);
    m_io = m_source->start();
    if (!m_io || m_source->error() != QAudio::NoError) {
        m_io = nullptr;
        m_source.reset();
        return WAVE_ERR_OPEN;
    }
    connect(m_io, &QIODevice::readyRead, this, &QtWaveIn::OnReadyRead);
    connect(m_source.get(), &QAudioSource::stateChanged, this, &QtWaveIn::OnStateChanged);
    m_queue.SetNotify(notify);
    m_bStarted = false;
    return WAVE_NOERROR;
}

WaveResult QtWaveIn::AddBuffer(WaveHeader& header) {
    return m_source ? m_queue.Enqueue(header) : WAVE_ERR_OPEN;
}

WaveResult QtWaveIn::Start() {
    m_bStarted = m_io != nullptr;
    return m_bStarted ? WAVE_NOERROR : WAVE_ERR_OPEN;
}

WaveResult QtWaveIn::Reset() {
    m_bStarted = false;
    m_queue.ReturnAll();
    return WAVE_NOERROR;
}

WaveResult QtWaveIn::Close() {
    m_bStarted = false;
    m_queue.ReturnAll();
    m_queue.SetNotify(nullptr);
    if (m_source) {
        // Nothing of the source may call back into a half-closed device.
        disconnect(m_source.get(), nullptr, this, nullptr);
        if (m_io) {
            disconnect(m_io, nullptr, this, nullptr);
        }
        m_io = nullptr;
        m_source->stop();
        m_source.reset();
    }
    return WAVE_NOERROR;
}

void QtWaveIn::OnReadyRead() {
    if (!m_io) {
        return;
    }
    // Straight into the capture buffers; the byte count may end inside a sample, and the next
    // read completes it.
    while (m_bStarted) {
        const std::span<char> room = m_queue.HeadBytes();
        if (room.empty()) {
            break;
        }
        const qint64 count = m_io->read(room.data(), static_cast<qint64>(room.size()));
        if (count <= 0) {
            return;
        }
        Tap(room.first(static_cast<std::size_t>(count)));
        m_queue.Advance(static_cast<std::size_t>(count));
    }
    // Whatever arrives before Start, or with no buffer queued, is dropped as a sound card would.
    m_io->readAll();
}

void QtWaveIn::OnStateChanged(QAudio::State state) {
    if (state != QAudio::StoppedState || !m_source || m_source->error() == QAudio::NoError ||
        !m_io) {
        return;
    }
    m_io = nullptr;
    m_bStarted = false;
    m_queue.ReportError(WAVE_ERR_ERROR);
}
