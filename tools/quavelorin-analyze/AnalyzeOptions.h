#pragma once

#include "Doreme.h"
#include "ReadingWriter.h"
#include "Temperament.h"

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
    std::optional<double> gate; // the sensitivity in dB; nothing: every block is measured
    ReadingFormat format = ReadingFormat::Text;
    bool help = false;
    bool version = false;
    Temperament temperament; // --temperament, equal by default
    int root = 0;            // --root, a pitch class from C
    int transpose = 0;       // --transpose; --note names the written note
    std::string error;       // a usage error, one line
    std::string scaleError;  // a Scala file that cannot be used: "FILE:LINE: what"
};

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& args);

// The text of --help.
std::string AnalyzeUsage();

constexpr int kExitUsage = 2;
constexpr int kExitInput = 3;
