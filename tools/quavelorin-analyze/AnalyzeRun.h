#pragma once

#include "AnalyzeOptions.h"

#include <ostream>

// The whole of quavelorin-analyze after its command line: reads options.file block by block,
// writes a row per block to out as it goes and any error, one line, to err. Returns the exit
// status: 0, kExitInput when the file cannot be read or holds no audio, 1 for anything else.
int AnalyzeFile(const AnalyzeOptions& options, std::ostream& out, std::ostream& err);
