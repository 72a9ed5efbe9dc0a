#pragma once

#include "OfflineAnalysis.h"

#include <ostream>
#include <string_view>

// Writes the rows as aligned text, CSV with a header row, or JSON with one object per line.
// Every format uses the same names: time_s, raw_hz, shown_hz, note, cents, meter, mark.
enum class ReadingFormat { Text, Csv, Json };

// The header line of text and CSV; nothing for JSON.
void WriteReadingsHeader(std::ostream& out, ReadingFormat format);
// One row, as it comes.
void WriteReading(std::ostream& out, const BlockReading& row, ReadingFormat format);
// The header and every row.
void WriteReadings(std::ostream& out, const std::vector<BlockReading>& rows, ReadingFormat format);
