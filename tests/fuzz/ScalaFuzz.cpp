// libFuzzer target: any bytes as a Scala file. Whatever the bytes, the reader either gives a
// scale within its limits, whose note table is finite and whose cents read back the same, or
// refuses it at a line the file has; never a crash or a sanitizer report.
#include "Doreme.h"
#include "ScalaFile.h"
#include "Temperament.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

// The shortest text that reads back as the same double, with the '.' that marks cents.
std::string Cents(double cents) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, cents);
    std::string s(text, end.ptr);
    if (s.find('.') == std::string::npos) {
        s.insert(std::min(s.find('e'), s.size()), ".0");
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto result = ScalaFile::Parse(text, "fuzz.scl");
    if (!result.scale) {
        // "fuzz.scl:LINE: what", the line at most one past the file's last.
        Check(result.error.starts_with("fuzz.scl:"));
        const std::size_t lines =
            static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        const std::size_t line = std::stoul(result.error.substr(9));
        Check(line >= 1 && line <= lines + 2);
        return 0;
    }
    const ScalaScale& scale = *result.scale;
    Check(!scale.values.empty() && scale.values.size() <= ScalaFile::kMaxCount);
    Check(scale.values.back().cents > 0.0);
    std::string again = "again\n" + std::to_string(scale.values.size()) + "\n";
    for (const ScalaDegree& value : scale.values) {
        Check(std::isfinite(value.cents) && std::abs(value.cents) <= ScalaFile::kMaxCents);
        again += Cents(value.cents) + "\n";
    }
    const auto reread = ScalaFile::Parse(again, "again.scl");
    Check(reread.scale && reread.scale->values.size() == scale.values.size());
    for (std::size_t i = 0; i < scale.values.size(); ++i) {
        Check(reread.scale->values[i].cents == scale.values[i].cents);
    }

    CDoreme doreme;
    doreme.SetTemperament(Temperament::FromScala(scale, "fuzz.scl"), static_cast<int>(size % 12));
    for (int n = kNoteFirst; n <= kNoteLast; ++n) {
        const double f = doreme.Frequency(n);
        Check(std::isfinite(f) && f > 0.0);
        Check(!doreme.NoteName(n).empty());
        const auto nearest = doreme.NearestNoteIndex(f);
        Check(nearest && std::abs(doreme.CentsDeviation(f, *nearest)) < 1e-6);
    }
    return 0;
}
