#pragma once

#include "InstrumentTable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One physical string of an instrument: the first of its positions in the table. Later
// positions an octave or two above it (or on its very note) are the same string.
struct PhysicalString {
    std::string_view label; // the position's text, as the tree shows it
    int note;
};

std::vector<PhysicalString> PhysicalStrings(const InstrumentRecord& instrument);

// The instrument a user names: the tree's text, or its Latin part alone ("guitar", "pipa"),
// without regard to case; an instrument under a family as "Family/Name" ("Guzheng/1=D"), with
// the family named either way too. Nothing for any other name.
std::optional<int> FindInstrument(std::string_view name);

// "Family/Name" (or "Name" at the top level) as the tree shows them.
std::string InstrumentName(const InstrumentRecord& instrument);
