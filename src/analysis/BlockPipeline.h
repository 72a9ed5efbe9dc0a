#pragma once

#include <cstdint>
#include <optional>
#include <span>

class AnalysisState;
class NoteLockedMeasurement;
class NoteTable;

// The road of one captured block, shared by the live tuner and the offline analyser.
//
// HandOverBlock runs when a block has been captured, then Dispatch. In automatic mode the
// frame goes to the analysis worker, whose result arrives later through the worker's poster
// with the tag; with a note selected the note-locked measurement runs at once and its result
// is returned. MeasureNow is the same without a worker: every block is analysed at once.
class BlockPipeline {
public:
    struct Outcome {
        bool frameOffered = false;          // automatic mode: the worker took the frame
        bool frameDropped = false;          // automatic mode: the worker was still busy
        std::optional<double> noteLockedHz; // note selected: the measurement, if any
    };

    BlockPipeline(AnalysisState& state, NoteLockedMeasurement& meter, const NoteTable& notes);

    // Feeds the decimated history (in both modes, with the factor of the current note) and
    // slides the block into the analysis sample buffer.
    void HandOverBlock(std::span<const std::int16_t> block, int note);

    Outcome Dispatch(int note, bool automatic, std::uint64_t tag = 0);

    // The block's own result, automatic or note-locked, on the calling thread.
    std::optional<double> MeasureNow(int note, bool automatic);

private:
    AnalysisState& m_state;
    NoteLockedMeasurement& m_meter;
    const NoteTable& m_notes;
};
