#include "OfflineAnalysis.h"

#include "AnalysisState.h"
#include "AudioFormat.h"
#include "BlockPipeline.h"
#include "Doreme.h"
#include "LevelGate.h"
#include "NoteLockedMeasurement.h"
#include "PreciseAutoTracker.h"
#include "TunerReadout.h"

#include <algorithm>
#include <stdexcept>

struct OfflineAnalysis::Parts {
    explicit Parts(CDoreme& doreme)
        : state(doreme.Notes()), pipeline(state, meter, doreme.Notes()), readout(doreme) {}
    AnalysisState state;
    NoteLockedMeasurement meter;
    BlockPipeline pipeline;
    TunerReadout readout;
    std::optional<PreciseAutoTracker> tracker; // precise automatic mode only
    std::optional<LevelGate> gate;
};

OfflineAnalysis::OfflineAnalysis(CDoreme& doreme, std::optional<int> note, bool precise)
    : m_parts(std::make_unique<Parts>(doreme)) {
    if (precise && !note) {
        m_parts->tracker.emplace(doreme);
        m_parts->state.SetOctaveCheck(true);
    }
    if (note) {
        m_parts->readout.SelectNote(*note);
    } else {
        m_parts->readout.SetAutomatic(true);
    }
    if (m_parts->state.InitTransform() != 1) {
        throw std::runtime_error("out of memory for the transform");
    }
}

OfflineAnalysis::~OfflineAnalysis() = default;

void OfflineAnalysis::SetGate(double db) {
    m_parts->gate.emplace(db);
}

BlockReading OfflineAnalysis::AnalyseBlock(std::span<const std::int16_t> block) {
    TunerReadout& readout = m_parts->readout;
    BlockReading row;
    std::optional<AnalysisState::FrameResult> frame; // precise automatic mode
    const auto heard = m_parts->gate ? m_parts->gate->Admit(block) : LevelGate::Change::Sounding;
    m_parts->pipeline.HandOverBlock(block, readout.Note());
    const bool measured = heard == LevelGate::Change::Sounding;
    if (!measured) {
        if (m_parts->tracker) {
            m_parts->tracker->AppendBlock(block);
        }
        if (heard == LevelGate::Change::Quiet) {
            readout.ShowNothingHeard(); // and the target stays
        } else {
            // The block the sound came back in is partly quiet, and its reading would lie far
            // off: the read-out starts afresh from the next block.
            readout.StartAfresh();
        }
    } else if (m_parts->tracker) {
        frame = m_parts->state.AnalyseFrameNow();
    } else {
        row.rawHz = m_parts->pipeline.MeasureNow(readout.Note(), readout.IsAutomatic());
    }
    if (!measured) {
        // nothing measured
    } else if (auto& tracker = m_parts->tracker) {
        // The block's own result is the note-locked reading, as the read-out takes it.
        tracker->AppendBlock(block);
        const auto reading =
            frame ? tracker->OnEstimate(frame->octave, frame->block) : std::nullopt;
        if (reading) {
            row.rawHz = reading->hz;
            readout.ApplyPreciseResult(reading->note, reading->hz, reading->newNote);
        }
    } else if (row.rawHz && readout.IsAutomatic()) {
        readout.ApplyAutomaticResult(*row.rawHz);
    } else if (row.rawHz) {
        readout.ShowPitch(*row.rawHz);
    }

    ++m_nBlocks;
    row.timeSeconds = static_cast<double>(m_nBlocks * kBlockSamples) / kSampleRate;
    if (readout.IsShowing()) {
        row.shownHz = readout.Smoothed();
        row.cents = readout.Cents();
    }
    row.note = m_parts->readout.Neighbours()[1].name;
    row.meter = readout.MeterPosition();
    row.mark = readout.HighText() + readout.LowText();
    return row;
}

std::size_t AnalyseBlocks(OfflineAnalysis& analysis,
                          const std::function<std::size_t(std::span<std::int16_t>)>& read,
                          const std::function<void(const BlockReading&)>& emit) {
    std::vector<std::int16_t> block(kBlockSamples);
    std::size_t rows = 0;
    for (;;) {
        const std::size_t got = read(block);
        if (got == block.size() || (got > 0 && rows == 0)) {
            std::fill(block.begin() + static_cast<std::ptrdiff_t>(got), block.end(), 0);
            emit(analysis.AnalyseBlock(block));
            ++rows;
        }
        if (got < block.size()) {
            return rows;
        }
    }
}

std::vector<BlockReading> AnalyseSamples(std::span<const std::int16_t> samples, CDoreme& doreme,
                                         std::optional<int> note, bool precise,
                                         std::optional<double> gateDb) {
    OfflineAnalysis analysis(doreme, note, precise);
    if (gateDb) {
        analysis.SetGate(*gateDb);
    }
    std::vector<BlockReading> rows;
    AnalyseBlocks(
        analysis,
        [&](std::span<std::int16_t> out) {
            const std::size_t n = std::min(out.size(), samples.size());
            std::copy_n(samples.begin(), n, out.begin());
            samples = samples.subspan(n);
            return n;
        },
        [&](const BlockReading& row) { rows.push_back(row); });
    return rows;
}
