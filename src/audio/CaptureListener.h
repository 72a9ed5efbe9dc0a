#pragma once

#include "AudioFormat.h"

#include <cstdint>
#include <span>

// Hears what capture hears, beside the block sink: each captured block in fill order, and the
// end of capture when its device stopped. Called on the GUI thread.
class ICaptureListener {
public:
    using Block = std::span<const std::int16_t, kBlockSamples>;

    virtual void OnCapturedBlock(Block block) = 0;
    virtual void OnCaptureLost() = 0;

protected:
    ~ICaptureListener() = default;
};
