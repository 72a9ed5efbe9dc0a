#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A scale read from a Scala (.scl) file.
//
// The format: lines starting with '!' are comments wherever they stand; the first other line
// is the description (it may be empty); the next holds the count; then come that many values,
// one a line, each a ratio ("3/2", or "5" meaning 5/1) or cents (a number holding a '.'),
// with anything after the value ignored. The last value is the period (2/1 for an octave).
// Lines after the last value are ignored.
struct ScalaDegree {
    double cents = 0.0; // above 1/1
    std::string label;  // the text after the value, trimmed; may be empty
};

struct ScalaScale {
    std::string description;
    std::vector<ScalaDegree> values; // the count's worth; the last one is the period
};

class ScalaFile {
public:
    // A value more than this far from 1/1 is refused: it lies far beyond anything audible
    // and would overflow the note table's frequencies.
    static constexpr double kMaxCents = 9600.0;
    static constexpr int kMaxCount = 10000;

    struct Result {
        std::optional<ScalaScale> scale;
        std::string error; // "NAME:LINE: what is wrong" when scale is empty
    };

    // Reads text; name is the file's name for the error message.
    static Result Parse(std::string_view text, std::string_view name);
    // Reads the file at path; a file that cannot be read is an error at line 0.
    static Result Load(const std::string& path);
};
