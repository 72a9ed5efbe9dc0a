#include "InstrumentStrings.h"

#include <algorithm>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// "Erhu(二胡)" answers to itself and to "erhu"; "1=D" only to itself.
bool Names(std::string_view shown, std::string_view asked) {
    if (SameText(shown, asked)) {
        return true;
    }
    const auto bracket = shown.find('(');
    return bracket != std::string_view::npos && bracket > 0 &&
           SameText(shown.substr(0, bracket), asked);
}

} // namespace

std::vector<PhysicalString> PhysicalStrings(const InstrumentRecord& instrument) {
    std::vector<PhysicalString> strings;
    for (const PositionEntry& position : instrument.positions) {
        const bool known =
            std::any_of(strings.begin(), strings.end(), [&](const PhysicalString& s) {
                const int above = position.note - s.note;
                return above == 0 || above == 12 || above == 24;
            });
        if (!known) {
            strings.push_back({position.label, position.note});
        }
    }
    return strings;
}

std::optional<int> FindInstrument(std::string_view name) {
    const auto slash = name.find('/');
    for (int i = 0; i < kInstrumentCount; ++i) {
        const InstrumentRecord& record = InstrumentTable[i];
        if (slash == std::string_view::npos) {
            if (!record.HasGroup() && Names(record.instrument, name)) {
                return i;
            }
        } else if (record.HasGroup() && Names(record.group, name.substr(0, slash)) &&
                   Names(record.instrument, name.substr(slash + 1))) {
            return i;
        }
    }
    return std::nullopt;
}

std::string InstrumentName(const InstrumentRecord& instrument) {
    std::string name(instrument.group);
    if (!name.empty()) {
        name += '/';
    }
    return name.append(instrument.instrument);
}
