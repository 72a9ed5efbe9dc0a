#pragma once

#include "WaveDevice.h"

#include <memory>

// The wave devices of the platform: the sound server's own client library on Linux, Qt
// Multimedia elsewhere (chosen when the program is configured).
std::unique_ptr<IWaveIn> MakeSystemWaveIn();
std::unique_ptr<IWaveOut> MakeSystemWaveOut();
