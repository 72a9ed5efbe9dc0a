#include "WaveDevice.h"

#include "Messages.h"

#include <QCoreApplication>

QString WaveErrorText(WaveResult code) {
    switch (code) {
    case WAVE_NOERROR:
        return QCoreApplication::translate("Wave", "No error.");
    case WAVE_ERR_ERROR:
        return QCoreApplication::translate("Wave", "The sound device stopped or was removed.");
    case WAVE_ERR_NODEVICE:
        return QCoreApplication::translate("Wave", "No sound device is available.");
    case WAVE_ERR_OPEN:
        return QCoreApplication::translate("Wave",
                                           "The sound device could not be opened or is in use.");
    case WAVE_ERR_BADFORMAT:
        return QCoreApplication::translate(
            "Wave", "The sound device does not support 16-bit mono sound at 44100 Hz.");
    default:
        return QCoreApplication::translate("Wave", "Unknown sound device error.");
    }
}

bool WaveDoneEvent::Names(const WaveHeader& header) const {
    return m_pHeader == &header && m_nGeneration == header.generation;
}
