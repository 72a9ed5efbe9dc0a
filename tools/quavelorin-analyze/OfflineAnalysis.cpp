#include "OfflineAnalysis.h"

#include "AnalysisState.h"
#include "AudioFormat.h"
#include "BlockPipeline.h"
#include "Doreme.h"
#include "NoteLockedMeasurement.h"
#include "TunerReadout.h"

#include <algorithm>
#include <stdexcept>

std::vector<BlockReading> AnalyseSamples(std::span<const std::int16_t> samples, CDoreme& doreme,
                                         std::optional<int> note) {
    AnalysisState state(doreme.Notes());
    NoteLockedMeasurement meter;
    BlockPipeline pipeline(state, meter, doreme.Notes());
    TunerReadout readout(doreme);
    if (note) {
        readout.SelectNote(*note);
    } else {
        readout.SetAutomatic(true);
    }
    if (state.InitTransform() != 1) {
        throw std::runtime_error("out of memory for the transform");
    }

    std::vector<BlockReading> rows;
    std::vector<std::int16_t> block(kBlockSamples);
    const std::size_t blocks = (samples.size() + kBlockSamples - 1) / kBlockSamples;
    for (std::size_t b = 0; b < blocks; ++b) {
        const auto part = samples.subspan(
            b * kBlockSamples,
            std::min<std::size_t>(kBlockSamples, samples.size() - b * kBlockSamples));
        std::fill(std::copy(part.begin(), part.end(), block.begin()), block.end(), 0);

        BlockReading row;
        pipeline.HandOverBlock(block, readout.Note());
        row.rawHz = pipeline.MeasureNow(readout.Note(), readout.IsAutomatic());
        if (row.rawHz && readout.IsAutomatic()) {
            readout.ApplyAutomaticResult(*row.rawHz);
        } else if (row.rawHz) {
            readout.ShowPitch(*row.rawHz);
        }

        row.timeSeconds = static_cast<double>((b + 1) * kBlockSamples) / kSampleRate;
        if (readout.IsShowing()) {
            row.shownHz = readout.Smoothed();
            row.cents = readout.Cents();
        }
        row.note = std::string(NoteTable::DualName(readout.Note()));
        row.meter = readout.MeterPosition();
        row.mark = readout.HighText() + readout.LowText();
        rows.push_back(std::move(row));
    }
    return rows;
}
