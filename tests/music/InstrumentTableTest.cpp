#include "InstrumentTable.h"
#include "NoteTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

namespace {

// The note a label spells, such as "#F5", "bE3" or "bB4", as a table index. A flat names the
// same note as the sharp below it.
std::optional<int> IndexOfSpelling(std::string_view spelling) {
    std::string sharp;
    if (spelling.size() >= 3 && spelling[0] == 'b') {
        const auto natural = std::find(SharpNames.begin(), SharpNames.end(), spelling.substr(1, 1));
        if (natural == SharpNames.end()) {
            return std::nullopt;
        }
        sharp = std::string(SharpNames[(natural - SharpNames.begin() + 11) % 12]);
        // bC would cross an octave; no label writes one.
        if (spelling[1] == 'C') {
            return std::nullopt;
        }
        sharp += spelling.substr(2);
    } else {
        sharp = std::string(spelling);
    }
    for (int n = 0; n < kNoteCount; ++n) {
        if (NoteTable::Name(n) == sharp) {
            return n;
        }
    }
    return std::nullopt;
}

// Every spelling written inside the label's first pair of parentheses ("bB4/#A4" holds two).
std::vector<std::string_view> SpellingsInFirstParentheses(std::string_view label) {
    std::vector<std::string_view> result;
    const auto open = label.find('(');
    const auto close = label.find(')', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return result;
    }
    std::string_view inside = label.substr(open + 1, close - open - 1);
    while (!inside.empty()) {
        const auto slash = inside.find('/');
        result.push_back(inside.substr(0, slash));
        if (slash == std::string_view::npos) {
            break;
        }
        inside.remove_prefix(slash + 1);
    }
    return result;
}

TEST(InstrumentTable, EveryLabelNamesItsStoredNote) {
    int positions = 0;
    for (const InstrumentRecord& record : InstrumentTable) {
        for (const PositionEntry& p : record.positions) {
            ++positions;
            const auto spellings = SpellingsInFirstParentheses(p.label);
            ASSERT_FALSE(spellings.empty()) << record.instrument << " " << p.label;
            for (std::string_view spelling : spellings) {
                EXPECT_EQ(IndexOfSpelling(spelling), p.note)
                    << record.instrument << " " << p.label << " spells " << spelling;
            }
        }
    }
    EXPECT_EQ(positions, 240);
}

TEST(InstrumentTable, CountsAndRange) {
    ASSERT_EQ(InstrumentTable.size(), 27u);
    int lowest = kNoteCount;
    int highest = -1;
    const std::map<std::string_view, std::size_t> counts = {
        {"Erhu(二胡)", 4}, {"左高半音碼", 18}, {"左碼", 26}, {"中碼", 9},   {"右碼", 9},
        {"右低音碼", 11},  {"右半低音碼", 4},  {"1=F", 7},   {"Guitar", 6}, {"Violin", 8}};
    for (const InstrumentRecord& record : InstrumentTable) {
        EXPECT_FALSE(record.positions.empty()) << record.instrument;
        for (const PositionEntry& p : record.positions) {
            lowest = std::min(lowest, p.note);
            highest = std::max(highest, p.note);
        }
        if (auto it = counts.find(record.instrument); it != counts.end()) {
            EXPECT_EQ(record.positions.size(), it->second) << record.instrument;
        }
    }
    EXPECT_EQ(lowest, 15);
    EXPECT_EQ(highest, 74);
    for (int r : {4, 5, 6, 7}) {
        EXPECT_EQ(InstrumentTable[r].positions.size(), 21u);
    }
}

TEST(InstrumentTable, FamiliesAreConsecutiveRows) {
    const std::map<std::string_view, std::pair<int, int>> families = {
        {"Huqin(胡琴)", {1, 3}},     {"Guzheng(古筝)", {5, 8}}, {"Guqin(古琴)", {9, 9}},
        {"Yangqin(揚琴)", {10, 15}}, {"Yuan(阮)", {16, 18}},    {"Sanxian(三弦)", {21, 22}}};
    for (int row = 1; row <= kInstrumentCount; ++row) {
        const InstrumentRecord& record = InstrumentTable[row - 1];
        std::string_view expected;
        for (const auto& [group, rows] : families) {
            if (row >= rows.first && row <= rows.second) {
                expected = group;
            }
        }
        EXPECT_EQ(record.group, expected) << "row " << row;
        EXPECT_EQ(record.HasGroup(), !expected.empty()) << "row " << row;
    }
    EXPECT_EQ(InstrumentTable[0].instrument, "Erhu(二胡)");
    EXPECT_EQ(InstrumentTable[3].instrument, "Pipa(琵琶)");
    EXPECT_EQ(InstrumentTable[4].instrument, "1=D");
    EXPECT_EQ(InstrumentTable[11].instrument, "中碼");
    EXPECT_EQ(InstrumentTable[20].instrument, "大三弦(G2-D3-G3)");
    EXPECT_EQ(InstrumentTable[26].instrument, "Mandolin");
}

TEST(InstrumentTable, LabelsKeepTheirExactSpelling) {
    EXPECT_EQ(InstrumentTable[0].positions[0].label, "1--(A4)");
    EXPECT_EQ(InstrumentTable[4].positions[0].label, " 1--(D6) (1'')");
    EXPECT_EQ(InstrumentTable[4].positions[3].label, " 4--(#F5)(3')");
    EXPECT_EQ(InstrumentTable[8].positions[0].label, "1--(C2)__5(so)");
    EXPECT_EQ(InstrumentTable[10].positions[22].label, "b7/#6______(bB4/#A4)");
    EXPECT_EQ(InstrumentTable[11].positions[7].label, "b7,/#6,__(bB3/#A3)");
}

TEST(InstrumentTable, HighSemitoneBridgeRepeatsThreeLabels) {
    const InstrumentRecord& bridge = InstrumentTable[9];
    ASSERT_EQ(bridge.instrument, "左高半音碼");
    std::map<std::string_view, int> seen;
    for (const PositionEntry& p : bridge.positions) {
        ++seen[p.label];
    }
    std::vector<std::string_view> twice;
    for (const auto& [label, n] : seen) {
        EXPECT_LE(n, 2) << label;
        if (n == 2) {
            twice.push_back(label);
        }
    }
    std::sort(twice.begin(), twice.end());
    const std::vector<std::string_view> expected = {"#5'______(#G5)", "#6'______(#A5)",
                                                    "4''______(F6)"};
    EXPECT_EQ(twice, expected);
}

TEST(InstrumentTable, BowedStringsRepeatTheirStringsAnOctaveUp) {
    for (int row : {24, 25}) {
        const auto& positions = InstrumentTable[row].positions;
        ASSERT_EQ(positions.size(), 8u);
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(positions[s + 4].note, positions[s].note + 12);
            EXPECT_EQ(positions[s + 4].label.substr(0, 4), positions[s].label.substr(0, 4));
        }
    }
}

} // namespace
