#include "ReadingWriter.h"

#include <array>
#include <cstdio>
#include <string>

namespace {

using Fields = std::array<std::string, 7>;

const Fields kColumns = {"time_s", "raw_hz", "shown_hz", "note", "cents", "meter", "mark"};

std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

// The seven fields as text; empty where there is no value.
Fields FieldsOf(const BlockReading& r) {
    return {Fixed(r.timeSeconds, 3),
            r.rawHz ? Fixed(*r.rawHz, 4) : "",
            r.shownHz ? Fixed(*r.shownHz, 2) : "",
            r.note,
            r.cents ? std::to_string(*r.cents) : "",
            std::to_string(r.meter),
            r.mark};
}

void WriteTextLine(std::ostream& out, const Fields& fields) {
    constexpr std::array<int, 7> widths = {8, 11, 10, 8, 6, 6, 4};
    std::string text;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string cell = fields[i];
        if (i + 1 < fields.size()) {
            cell.insert(0, std::max<int>(0, widths[i] - static_cast<int>(cell.size())), ' ');
            cell += ' ';
        } else {
            cell.insert(0, 1, ' ');
        }
        text += cell;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    out << text << '\n';
}

void WriteCsvLine(std::ostream& out, const Fields& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        out << (i ? "," : "") << fields[i];
    }
    out << '\n';
}

void WriteJsonLine(std::ostream& out, const Fields& f) {
    auto number = [](const std::string& v) { return v.empty() ? std::string("null") : v; };
    out << "{\"" << kColumns[0] << "\":" << f[0] << ",\"" << kColumns[1] << "\":" << number(f[1])
        << ",\"" << kColumns[2] << "\":" << number(f[2]) << ",\"" << kColumns[3] << "\":\"" << f[3]
        << "\",\"" << kColumns[4] << "\":" << number(f[4]) << ",\"" << kColumns[5] << "\":" << f[5]
        << ",\"" << kColumns[6] << "\":\"" << f[6] << "\"}\n";
}

} // namespace

void WriteReadingsHeader(std::ostream& out, ReadingFormat format) {
    if (format == ReadingFormat::Text) {
        WriteTextLine(out, kColumns);
    } else if (format == ReadingFormat::Csv) {
        WriteCsvLine(out, kColumns);
    }
}

void WriteReading(std::ostream& out, const BlockReading& row, ReadingFormat format) {
    switch (format) {
    case ReadingFormat::Text:
        WriteTextLine(out, FieldsOf(row));
        break;
    case ReadingFormat::Csv:
        WriteCsvLine(out, FieldsOf(row));
        break;
    case ReadingFormat::Json:
        WriteJsonLine(out, FieldsOf(row));
        break;
    }
}

void WriteReadings(std::ostream& out, const std::vector<BlockReading>& rows, ReadingFormat format) {
    WriteReadingsHeader(out, format);
    for (const auto& r : rows) {
        WriteReading(out, r, format);
    }
}
