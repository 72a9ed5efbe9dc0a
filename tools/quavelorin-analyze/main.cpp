// quavelorin-analyze: the tuner's own measurement, run on an audio file.
#include "AnalyzeOptions.h"
#include "AudioFile.h"
#include "Doreme.h"
#include "OfflineAnalysis.h"
#include "ReadingWriter.h"

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    const AnalyzeOptions options = ParseAnalyzeOptions({argv + 1, argv + argc});
    if (options.help) {
        std::cout << AnalyzeUsage();
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "quavelorin-analyze: " << options.error << " (try --help)\n";
        return kExitUsage;
    }

    const LoadedAudio audio = LoadAudioFile(options.file);
    if (!audio.error.empty()) {
        std::cerr << "quavelorin-analyze: " << audio.error << '\n';
        return kExitInput;
    }

    try {
        CDoreme doreme;
        doreme.SetFreqA4(options.freqA4);
        const auto rows = AnalyseSamples(audio.samples, doreme, options.note);
        WriteReadings(std::cout, rows, options.format);
    } catch (const std::exception& e) {
        std::cerr << "quavelorin-analyze: " << e.what() << '\n';
        return 1;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
