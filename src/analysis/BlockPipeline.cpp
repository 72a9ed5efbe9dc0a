#include "BlockPipeline.h"

#include "AnalysisState.h"
#include "NoteLockedMeasurement.h"
#include "NoteTable.h"

BlockPipeline::BlockPipeline(AnalysisState& state, NoteLockedMeasurement& meter,
                             const NoteTable& notes)
    : m_state(state), m_meter(meter), m_notes(notes) {}

void BlockPipeline::HandOverBlock(std::span<const std::int16_t> block, int note) {
    m_meter.AppendDecimated(block, NoteLockedMeasurement::NoteFactor(note));
    m_state.ShiftInBlock(block);
}

BlockPipeline::Outcome BlockPipeline::Dispatch(int note, bool automatic, std::uint64_t tag) {
    Outcome outcome;
    if (automatic) {
        outcome.frameOffered = m_state.OfferFrame(tag);
        outcome.frameDropped = !outcome.frameOffered;
    } else {
        outcome.noteLockedHz = m_meter.NoteLockedMeasure(NoteTable::ClampIndex(note), m_notes);
    }
    return outcome;
}

std::optional<double> BlockPipeline::MeasureNow(int note, bool automatic) {
    if (automatic) {
        return m_state.AnalyseNow();
    }
    return m_meter.NoteLockedMeasure(NoteTable::ClampIndex(note), m_notes);
}
