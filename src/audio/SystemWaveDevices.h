#pragma once

#include "WaveDevice.h"

#include <memory>

// The wave devices of the platform: the sound server's own client library on Linux, Qt
// Multimedia elsewhere (chosen when the program is configured).
std::unique_ptr<IWaveIn> MakeSystemWaveIn();

// How far ahead of the speaker an output runs: the reference tone and the metronome ride out a
// stalled GUI thread; the probe tone answers the mouse quickly, and still rides out half a
// second with the buffer queued behind.
enum class OutputLead { Steady, Quick };
std::unique_ptr<IWaveOut> MakeSystemWaveOut(OutputLead lead = OutputLead::Steady);
