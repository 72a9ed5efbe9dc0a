#include "SystemWaveDevices.h"

#ifdef QUAVELORIN_QT_AUDIO
#include "QtWaveIn.h"
#include "QtWaveOut.h"
using SystemWaveIn = QtWaveIn;
using SystemWaveOut = QtWaveOut;
#else
#include "PulseWaveIn.h"
#include "PulseWaveOut.h"
using SystemWaveIn = PulseWaveIn;
using SystemWaveOut = PulseWaveOut;
#endif

std::unique_ptr<IWaveIn> MakeSystemWaveIn() {
    return std::make_unique<SystemWaveIn>();
}

std::unique_ptr<IWaveOut> MakeSystemWaveOut() {
    return std::make_unique<SystemWaveOut>();
}
