#pragma once

#include "OfflineAnalysis.h"

#include <ostream>
#include <string_view>

// Writes the rows as aligned text, CSV with a header row, or JSON with one object per line.
// Every format uses the same names: time_s, raw_hz, shown_hz, note, cents, meter, mark.
enum class ReadingFormat { Text, Csv, Json };

void WriteReadings(std::ostream& out, const std::vector<BlockReading>& rows, ReadingFormat format);
