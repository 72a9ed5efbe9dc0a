// quavelorin-analyze: the tuner's own measurement, run on an audio file.
#include "AnalyzeOptions.h"
#include "AnalyzeRun.h"

#include <iostream>

int main(int argc, char** argv) {
    const AnalyzeOptions options = ParseAnalyzeOptions({argv + 1, argv + argc});
    if (options.help) {
        std::cout << AnalyzeUsage();
        return 0;
    }
    if (options.version) {
        std::cout << "quavelorin-analyze " QUAVELORIN_VERSION "\n";
        return 0;
    }
    if (!options.error.empty()) {
        std::cerr << "quavelorin-analyze: " << options.error << " (try --help)\n";
        return kExitUsage;
    }
    return AnalyzeFile(options, std::cout, std::cerr);
}
