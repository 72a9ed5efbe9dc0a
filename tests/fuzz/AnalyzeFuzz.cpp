// libFuzzer target: one audio file, any bytes, through quavelorin-analyze's reading and
// analysis. Whatever the bytes, the run must end with status 0 or 3 and no sanitizer report.
#include "AnalyzeRun.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/quavelorin-fuzz-" + std::to_string(::getpid()) + ".audio";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    AnalyzeOptions options;
    options.file = path;
    if (size % 2 == 1) { // both modes, without taking a byte from the file
        options.note = 48;
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = AnalyzeFile(options, out, err);
    if (status != 0 && status != kExitInput) {
        std::abort();
    }
    return 0;
}
