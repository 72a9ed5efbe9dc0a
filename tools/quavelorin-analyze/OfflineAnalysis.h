#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CDoreme;

// One row per block of 16384 samples, as the tuner would have shown it at the block's end.
struct BlockReading {
    double timeSeconds = 0.0;      // the end of the block
    std::optional<double> rawHz;   // the block's own result
    std::optional<double> shownHz; // the smoothed frequency of the read-out, when shown
    std::string note;              // the target's dual name
    std::optional<int> cents;      // as shown, truncated toward zero
    int meter = 0;                 // the meter position, -100..100
    std::string mark;              // "H", "L" or empty
};

// Runs the live tuner's road on recorded samples: the same block hand-off, analysis,
// note-locked measurement and read-out, but every block is analysed, on the calling thread
// (the live tuner drops blocks that arrive while its worker is busy). A final partial block is
// completed with silence.
//
// note: the note-locked target, or nothing for automatic mode.
std::vector<BlockReading> AnalyseSamples(std::span<const std::int16_t> samples, CDoreme& doreme,
                                         std::optional<int> note);
