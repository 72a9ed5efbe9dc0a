#include "ScalaFile.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

constexpr std::string_view kSpace = " \t\v\f";

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

// The first word of a line and the text after it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view line) {
    line = Trim(line);
    const auto end = std::min(line.find_first_of(kSpace), line.size());
    return {line.substr(0, end), Trim(line.substr(end))};
}

std::optional<std::uint64_t> ParseWhole(std::string_view s) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return value;
}

// The value in cents, or the reason it is not one.
std::pair<std::optional<double>, std::string> ParseValue(std::string_view word) {
    if (word.find('.') != std::string_view::npos) {
        // from_chars takes no '+', which a hand-written file may carry.
        const std::string_view digits = word.starts_with('+') ? word.substr(1) : word;
        double cents = 0.0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cents);
        if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
            !std::isfinite(cents)) {
            return {std::nullopt, "'" + std::string(word) + "' is not a number of cents"};
        }
        return {cents, {}};
    }
    const auto slash = word.find('/');
    const auto num = ParseWhole(word.substr(0, slash));
    const auto den = slash == std::string_view::npos ? std::optional<std::uint64_t>(1)
                                                     : ParseWhole(word.substr(slash + 1));
    if (!num || !den) {
        return {std::nullopt, "'" + std::string(word) +
                                  "' is neither a ratio such as 3/2 nor cents such as 701.955"};
    }
    if (*num == 0 || *den == 0) {
        return {std::nullopt, "the ratio " + std::string(word) + " must be above zero"};
    }
    return {1200.0 * std::log2(static_cast<double>(*num) / static_cast<double>(*den)), {}};
}

} // namespace

ScalaFile::Result ScalaFile::Parse(std::string_view text, std::string_view name) {
    Result result;
    ScalaScale scale;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        result.error = std::string(name) + ":" + std::to_string(lineNumber) + ": " + what;
        return result;
    };

    enum class Expect { Description, Count, Value } expect = Expect::Description;
    std::uint64_t count = 0;
    while (!text.empty() && (expect != Expect::Value || scale.values.size() < count)) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.starts_with('!')) {
            continue;
        }
        if (expect == Expect::Description) {
            scale.description = std::string(Trim(line));
            expect = Expect::Count;
        } else if (expect == Expect::Count) {
            const auto [word, rest] = SplitWord(line);
            const auto n = ParseWhole(word);
            if (!n) {
                return fail(word.empty() ? "the count of values is missing"
                                         : "'" + std::string(word) + "' is not a count of values");
            }
            if (*n < 1 || *n > static_cast<std::uint64_t>(kMaxCount)) {
                return fail("the count must be 1 to " + std::to_string(kMaxCount) + ", not " +
                            std::to_string(*n));
            }
            count = *n;
            expect = Expect::Value;
        } else {
            const auto [word, rest] = SplitWord(line);
            if (word.empty()) {
                return fail("value " + std::to_string(scale.values.size() + 1) + " of " +
                            std::to_string(count) + " is missing (an empty line)");
            }
            const auto [cents, why] = ParseValue(word);
            if (!cents) {
                return fail(why);
            }
            if (std::abs(*cents) > kMaxCents) {
                return fail("the value " + std::string(word) + " lies more than " +
                            std::to_string(static_cast<int>(kMaxCents / 1200)) +
                            " octaves from 1/1");
            }
            scale.values.push_back({*cents, std::string(rest)});
        }
    }
    if (expect != Expect::Value || scale.values.size() < count) {
        ++lineNumber; // the line after the last one
        if (expect == Expect::Description) {
            return fail("the file ends before the description");
        }
        if (expect == Expect::Count) {
            return fail("the file ends before the count of values");
        }
        return fail("the file ends after " + std::to_string(scale.values.size()) + " of " +
                    std::to_string(count) + " values");
    }
    if (!(scale.values.back().cents > 0.0)) {
        return fail("the last value is the period and must lie above 1/1");
    }
    result.scale = std::move(scale);
    return result;
}

ScalaFile::Result ScalaFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) {
        text << in.rdbuf();
    }
    if (!in || in.bad()) {
        Result result;
        result.error = path + ":0: the file cannot be read";
        return result;
    }
    return Parse(text.str(), path);
}
