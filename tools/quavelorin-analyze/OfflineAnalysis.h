#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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

// Runs the live tuner's road on recorded samples, one block at a time: the same block
// hand-off, analysis, note-locked measurement and read-out, but every block is analysed, on the
// calling thread (the live tuner drops blocks that arrive while its worker is busy).
class OfflineAnalysis {
public:
    // note: the note-locked target, or nothing for automatic mode; precise: automatic mode
    // measures the note it finds with the note-locked measurement (ignored with a note).
    // Throws std::runtime_error when the transform cannot be allocated.
    OfflineAnalysis(CDoreme& doreme, std::optional<int> note, bool precise = false);
    ~OfflineAnalysis();

    OfflineAnalysis(const OfflineAnalysis&) = delete;
    OfflineAnalysis& operator=(const OfflineAnalysis&) = delete;

    // From now on a block quieter than db is not measured: its row shows nothing and keeps
    // the target, and the first louder block starts the read-out afresh (LevelGate).
    void SetGate(double db);

    // The reading after the next block of kBlockSamples samples.
    BlockReading AnalyseBlock(std::span<const std::int16_t> block);

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    std::size_t m_nBlocks = 0;
};

// Reads blocks with read (which fills its span from the start and returns how much it filled;
// less only at the end) and hands each block's reading to emit. A final partial block gives a
// row, completed with silence, only when there is no whole block: elsewhere the silence would
// skew its reading. Returns the number of rows.
std::size_t AnalyseBlocks(OfflineAnalysis& analysis,
                          const std::function<std::size_t(std::span<std::int16_t>)>& read,
                          const std::function<void(const BlockReading&)>& emit);

// All rows of samples held in memory, by the same rule; with gateDb, as after SetGate.
std::vector<BlockReading> AnalyseSamples(std::span<const std::int16_t> samples, CDoreme& doreme,
                                         std::optional<int> note, bool precise = false,
                                         std::optional<double> gateDb = std::nullopt);
