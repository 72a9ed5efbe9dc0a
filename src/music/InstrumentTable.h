#pragma once

#include <array>
#include <span>
#include <string_view>

// The catalogue of instruments the tuner offers, as constant data (UTF-8).

// One string, course or bridge note: the tree item's text and its target note index.
struct PositionEntry {
    std::string_view label;
    int note;
};

struct InstrumentRecord {
    std::string_view group; // family node; empty puts the instrument at the top level
    std::string_view instrument;
    std::span<const PositionEntry> positions;

    bool HasGroup() const { return !group.empty(); }
};

constexpr int kInstrumentCount = 27;

// In tree order: consecutive records with the same group form one family node.
extern const std::array<InstrumentRecord, kInstrumentCount> InstrumentTable;
