#include "QtWaveIn.h"

#include "Messages.h"
#include "QtAudioFormat.h"

#include <QAudioSource>
#include <QMediaDevices>

#include <span>

QtWaveIn::QtWaveIn() : QueuedWaveDevice(MM_WIM_DATA) {}

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
        m_source->stop();
        m_source.reset();
        m_io = nullptr;
        return WAVE_ERR_OPEN;
    }
    connect(m_io, &QIODevice::readyRead, this, &QtWaveIn::OnReadyRead);
    m_queue.SetNotify(notify);
    m_bStarted = false;
    return WAVE_NOERROR;
}

WaveResult QtWaveIn::AddBuffer(WaveHeader& header) {
    return m_source ? m_queue.Enqueue(header) : WAVE_ERR_OPEN;
}

WaveResult QtWaveIn::Start() {
    m_bStarted = m_source != nullptr;
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
        if (m_io) {
            disconnect(m_io, nullptr, this, nullptr);
        }
        m_source->stop();
        m_source.reset();
        m_io = nullptr;
    }
    m_carry.clear();
    return WAVE_NOERROR;
}

void QtWaveIn::OnReadyRead() {
    if (!m_io) {
        return;
    }
    // Whatever arrives before Start, or with no buffer queued, is dropped as a sound card would.
    QByteArray data = m_io->readAll();
    if (!m_bStarted || data.isEmpty()) {
        return;
    }
    if (!m_carry.isEmpty()) {
        data.prepend(m_carry);
        m_carry.clear();
    }
    const qsizetype whole = data.size() - data.size() % 2;
    if (whole < data.size()) {
        m_carry = data.right(1);
    }
    m_queue.Record(
        std::span<const std::int16_t>(reinterpret_cast<const std::int16_t*>(data.constData()),
                                      static_cast<std::size_t>(whole / 2)));
}
