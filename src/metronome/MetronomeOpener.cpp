#include "MetronomeOpener.h"

#include "ClickTrack.h"
#include "DlgMetronom.h"
#include "WaveEngine.h"

#include <vector>

void RunMetronome(CWaveEngine& engine, bool& inMetronome, QWidget* parent) {
    std::vector<std::int16_t> clip(kClipSamples);
    CDlgMetronom dialog(engine, clip, parent);
    inMetronome = true;
    engine.StopOutput();
    dialog.exec();
    engine.StopOutput();
    engine.SetClip({}); // the engine's copy of the track goes with the buffer
    inMetronome = false;
}
