#include "SystemWaveDevices.h"

#ifdef QUAVELORIN_QT_AUDIO
#include "QtWaveIn.h"
#include "QtWaveOut.h"
using SystemWaveIn = QtWaveIn;
#else
#include "PulseWaveIn.h"
#include "PulseWaveOut.h"
using SystemWaveIn = PulseWaveIn;
#endif

std::unique_ptr<IWaveIn> MakeSystemWaveIn() {
    return std::make_unique<SystemWaveIn>();
}

std::unique_ptr<IWaveOut> MakeSystemWaveOut(OutputLead lead) {
#ifdef QUAVELORIN_QT_AUDIO
    (void)lead;
    return std::make_unique<QtWaveOut>();
#else
    return std::make_unique<PulseWaveOut>(lead == OutputLead::Steady ? 0.6 : 0.15);
#endif
}
