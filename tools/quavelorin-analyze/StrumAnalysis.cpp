#include "StrumAnalysis.h"

#include "AudioFormat.h"
#include "Doreme.h"
#include "InstrumentStrings.h"
#include "StrumMeasurement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

using Fields = std::array<std::string, 5>;

const Fields kColumns = {"time_s", "string", "note", "shown_hz", "cents"};

std::string Fixed(double v, int decimals) {
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) {
        v = 0.0; // no "-0.0"
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

Fields FieldsOf(const StringReading& r) {
    return {Fixed(r.timeSeconds, 3), r.label, r.note, r.shownHz ? Fixed(*r.shownHz, 3) : "",
            r.cents ? Fixed(*r.cents, 1) : ""};
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string JsonText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

void WriteLine(std::ostream& out, const Fields& f, ReadingFormat format) {
    switch (format) {
    case ReadingFormat::Text: {
        char text[256];
        std::snprintf(text, sizeof text, "%8s  %-16s %-5s %10s %6s", f[0].c_str(), f[1].c_str(),
                      f[2].c_str(), f[3].c_str(), f[4].c_str());
        std::string line = text;
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
        break;
    }
    case ReadingFormat::Csv:
        out << f[0] << ',' << CsvField(f[1]) << ',' << CsvField(f[2]) << ',' << f[3] << ',' << f[4]
            << '\n';
        break;
    case ReadingFormat::Json: {
        auto number = [](const std::string& v) { return v.empty() ? std::string("null") : v; };
        out << "{\"" << kColumns[0] << "\":" << f[0] << ",\"" << kColumns[1]
            << "\":" << JsonText(f[1]) << ",\"" << kColumns[2] << "\":" << JsonText(f[2]) << ",\""
            << kColumns[3] << "\":" << number(f[3]) << ",\"" << kColumns[4] << "\":" << number(f[4])
            << "}\n";
        break;
    }
    }
}

} // namespace

std::size_t AnalyseStrum(const InstrumentRecord& instrument, const CDoreme& doreme,
                         const std::function<std::size_t(std::span<std::int16_t>)>& read,
                         const std::function<void(const std::vector<StringReading>&)>& emit) {
    const std::vector<PhysicalString> strings = PhysicalStrings(instrument);
    std::vector<double> hz;
    std::vector<StringReading> rows(strings.size());
    for (std::size_t s = 0; s < strings.size(); ++s) {
        hz.push_back(doreme.Frequency(strings[s].note));
        rows[s].label = Trimmed(strings[s].label);
        rows[s].note = std::string(NoteTable::Name(strings[s].note));
    }
    StrumMeasurement measurement(hz);
    std::vector<std::int16_t> block(kBlockSamples);
    std::size_t blocks = 0;
    for (;;) {
        const std::size_t got = read(block);
        if (got == block.size() || (got > 0 && blocks == 0)) {
            std::fill(block.begin() + static_cast<std::ptrdiff_t>(got), block.end(), 0);
            const auto& readings = measurement.AppendBlock(block);
            ++blocks;
            for (std::size_t s = 0; s < rows.size(); ++s) {
                rows[s].timeSeconds = static_cast<double>(blocks * kBlockSamples) / kSampleRate;
                rows[s].shownHz = readings[s];
                rows[s].cents.reset();
                if (readings[s]) {
                    rows[s].cents = doreme.CentsDeviation(*readings[s], strings[s].note);
                }
            }
            emit(rows);
        }
        if (got < block.size()) {
            return blocks;
        }
    }
}

void WriteStringReadingsHeader(std::ostream& out, ReadingFormat format) {
    if (format != ReadingFormat::Json) {
        WriteLine(out, kColumns, format);
    }
}

void WriteStringReading(std::ostream& out, const StringReading& row, ReadingFormat format) {
    WriteLine(out, FieldsOf(row), format);
}

std::string InstrumentNames() {
    std::string names;
    for (const InstrumentRecord& record : InstrumentTable) {
        names += (names.empty() ? "" : ", ") + InstrumentName(record);
    }
    return names;
}
