#include "AnalyzeRun.h"

#include "AudioFile.h"
#include "Doreme.h"
#include "InstrumentTable.h"
#include "OfflineAnalysis.h"
#include "ReadingWriter.h"
#include "StrumAnalysis.h"

#include <exception>
#include <new>
#include <optional>

int AnalyzeFile(const AnalyzeOptions& options, std::ostream& out, std::ostream& err) {
    const char* const prefix = "quavelorin-analyze: ";
    if (!options.scaleError.empty()) {
        err << prefix << options.scaleError << '\n';
        return kExitUsage;
    }
    try {
        AudioFile file;
        if (!file.Open(options.file)) {
            err << prefix << file.Error() << '\n';
            return kExitInput;
        }
        CDoreme doreme;
        doreme.SetFreqA4(options.freqA4);
        doreme.SetTemperament(options.temperament, options.root);
        doreme.SetTranspose(options.transpose);
        bool headerWritten = false; // only once there is a row: an empty file writes nothing
        const auto readBlock = [&](std::span<std::int16_t> block) { return file.Read(block); };
        const auto writeStrings = [&](const std::vector<StringReading>& rows) {
            if (!headerWritten) {
                WriteStringReadingsHeader(out, options.format);
                headerWritten = true;
            }
            for (const StringReading& row : rows) {
                WriteStringReading(out, row, options.format);
            }
        };
        std::optional<OfflineAnalysis> analysis;
        if (!options.strum) {
            analysis.emplace(doreme, options.note, options.precise);
            if (options.gate) {
                analysis->SetGate(*options.gate);
            }
        }
        const std::size_t rows =
            options.strum
                ? AnalyseStrum(InstrumentTable[*options.strum], doreme, readBlock, writeStrings)
                : AnalyseBlocks(*analysis, readBlock, [&](const BlockReading& row) {
                      if (!headerWritten) {
                          WriteReadingsHeader(out, options.format);
                          headerWritten = true;
                      }
                      WriteReading(out, row, options.format);
                  });
        if (!file.Error().empty()) {
            err << prefix << file.Error() << '\n';
            return kExitInput;
        }
        if (rows == 0) {
            err << prefix << "no audio in " << options.file << '\n';
            return kExitInput;
        }
    } catch (const std::bad_alloc&) {
        err << prefix << "out of memory reading " << options.file << '\n';
        return kExitInput;
    } catch (const std::exception& e) {
        err << prefix << e.what() << '\n';
        return 1;
    }
    out.flush();
    return out ? 0 : 1;
}
