#pragma once

#include "ReadingWriter.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

class CDoreme;
struct InstrumentRecord;

// One string's row of a block in strum mode: what its meter shows, or nothing.
struct StringReading {
    double timeSeconds = 0.0;
    std::string label; // the string's position in the tree, without its padding
    std::string note;  // the string's note, as "E2" or "#F3"
    std::optional<double> shownHz;
    std::optional<double> cents;
};

// Measures every string of the instrument on the blocks read by read (which fills its span
// from the start and returns how much it filled), block by block, and hands each block's rows
// to emit in the instrument's order. Part blocks count as in the other modes. Returns the
// number of blocks.
std::size_t AnalyseStrum(const InstrumentRecord& instrument, const CDoreme& doreme,
                         const std::function<std::size_t(std::span<std::int16_t>)>& read,
                         const std::function<void(const std::vector<StringReading>&)>& emit);

// The header line of text and CSV (time_s,string,note,shown_hz,cents); nothing for JSON.
void WriteStringReadingsHeader(std::ostream& out, ReadingFormat format);
void WriteStringReading(std::ostream& out, const StringReading& row, ReadingFormat format);

// The names --strum takes, as a list for messages: "Huqin(胡琴)/Erhu(二胡), ..., Mandolin".
std::string InstrumentNames();
