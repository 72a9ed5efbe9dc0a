#pragma once

#include "Doreme.h"
#include "ReadingWriter.h"

#include <optional>
#include <string>
#include <vector>

// The command line of quavelorin-analyze.
struct AnalyzeOptions {
    std::string file;
    std::optional<int> note;  // note-locked target; nothing: automatic mode
    bool precise = false;     // precise automatic mode
    std::optional<int> strum; // strum mode: every string of this instrument of the table
    double freqA4 = CDoreme::kDefaultFreqA4;
    ReadingFormat format = ReadingFormat::Text;
    bool help = false;
    std::string error; // a usage error, one line
};

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& args);

// The text of --help.
std::string AnalyzeUsage();

constexpr int kExitUsage = 2;
constexpr int kExitInput = 3;
