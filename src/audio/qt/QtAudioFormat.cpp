#include "QtAudioFormat.h"

#include "AudioFormat.h"

QAudioFormat BlockAudioFormat() {
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}
