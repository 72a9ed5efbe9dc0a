#pragma once

#include "AudioTestSupport.h"
#include "Doreme.h"
#include "MemoryWaveIn.h"
#include "MemoryWaveOut.h"

#include <gtest/gtest.h>

#include <memory>

// The engine on in-memory devices, with the spectrum's display analyser beside it, as the
// program puts them together; device errors are recorded instead of shown. The sink stands
// where the notification object stands until a test sets another. The sink and the recorder
// outlive the engine, whose devices may still be posting.
struct EngineOnMemory : ::testing::Test {
    CDoreme doreme;
    NotifySink sink;
    ErrorRecorder errors;
    MemoryWaveIn* in = new MemoryWaveIn;
    MemoryWaveOut* out = new MemoryWaveOut;
    CWaveEngine engine{doreme.Notes(), std::unique_ptr<IWaveIn>(in),
                       std::unique_ptr<IWaveOut>(out)};
    DisplayAnalyser display{doreme.Notes(), engine};

    EngineOnMemory() {
        sink.engine = &engine;
        engine.Initialise(&sink);
    }
    void Pump() { QCoreApplication::processEvents(); }
};
