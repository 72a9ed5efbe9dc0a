#include "Doreme.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

double CentsAbove(double f, double cents) {
    return f * std::pow(2.0, cents / 1200.0);
}

TEST(NoteTable, RowsAtA4Of440) {
    CDoreme doreme;
    const NoteTable& t = doreme.Notes();

    EXPECT_DOUBLE_EQ(t[0].frequency, 27.5);
    EXPECT_EQ(t[0].name, "A0");
    EXPECT_EQ(t[0].dualName, "A0");

    EXPECT_NEAR(t[1].frequency, 29.1352, 1e-4);
    EXPECT_EQ(t[1].name, "#A0");
    EXPECT_EQ(t[1].dualName, "#A/bB0");

    EXPECT_NEAR(t[3].frequency, 32.7032, 1e-4);
    EXPECT_EQ(t[3].name, "C1");
    EXPECT_NEAR(t[39].frequency, 261.6256, 1e-4);
    EXPECT_EQ(t[39].name, "C4");

    EXPECT_EQ(t[48].frequency, 440.0);
    EXPECT_EQ(t[48].name, "A4");
    EXPECT_EQ(t[49].dualName, "#A/bB4");

    EXPECT_NEAR(t[87].frequency, 4186.0090, 1e-4);
    EXPECT_EQ(t[87].name, "C8");
}

TEST(NoteTable, NamesFollowPitchClassAndOctave) {
    CDoreme doreme;
    const NoteTable& t = doreme.Notes();
    // Octaves turn over at C, not at A.
    EXPECT_EQ(t[2].name, "B0");
    EXPECT_EQ(t[14].name, "B1");
    EXPECT_EQ(t[15].name, "C2");
    EXPECT_EQ(t[86].dualName, "B7");
    EXPECT_EQ(t[83].dualName, "#G/bA7");
    for (int n = 0; n < kNoteCount; ++n) {
        EXPECT_LE(t[n].name.size(), 9u);
        EXPECT_LE(t[n].dualName.size(), 9u);
        EXPECT_EQ(t[n].name.substr(0, SharpNames[n % 12].size()), SharpNames[n % 12]);
        EXPECT_EQ(t[n].dualName.substr(0, SharpFlatNames[n % 12].size()), SharpFlatNames[n % 12]);
        if (n + 12 < kNoteCount) {
            EXPECT_NEAR(t[n + 12].frequency, 2.0 * t[n].frequency, 1e-9 * t[n].frequency);
        }
    }
}

TEST(NoteTable, RebuildFollowsTheReferenceAndKeepsNames) {
    CDoreme doreme;
    doreme.SetFreqA4(435.0);
    EXPECT_EQ(doreme.Frequency(48), 435.0);
    EXPECT_DOUBLE_EQ(doreme.Frequency(0), 27.1875);
    EXPECT_EQ(doreme.Notes()[48].name, "A4");
    EXPECT_EQ(doreme.Notes()[0].dualName, "A0");

    std::vector<double> first;
    for (int n = 0; n < kNoteCount; ++n) {
        first.push_back(doreme.Frequency(n));
    }
    doreme.BuildNoteTable();
    for (int n = 0; n < kNoteCount; ++n) {
        EXPECT_EQ(doreme.Frequency(n), first[n]) << n;
    }
}

TEST(NoteTable, ReferenceIsKeptWithinItsRange) {
    CDoreme doreme;
    doreme.SetFreqA4(460.0);
    EXPECT_EQ(doreme.FreqA4(), 445.0);
    EXPECT_EQ(doreme.Frequency(48), 445.0);
    doreme.SetFreqA4(-1.0);
    EXPECT_EQ(doreme.Frequency(48), 435.0);
    doreme.SetFreqA4(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(doreme.Frequency(48), 435.0);
}

TEST(NoteTable, IndexOutsideTableIsClampedNotRead) {
    CDoreme doreme;
    EXPECT_EQ(doreme.Frequency(-1), doreme.Frequency(0));
    EXPECT_EQ(doreme.Frequency(88), doreme.Frequency(87));
    EXPECT_EQ(doreme.Notes()[1000].name, "C8");
}

TEST(NoteTable, IndexOfNameAcceptsEverySpellingTheTableUses) {
    EXPECT_EQ(NoteTable::IndexOfName("A4"), 48);
    EXPECT_EQ(NoteTable::IndexOfName("a4"), 48);
    EXPECT_EQ(NoteTable::IndexOfName("#C5"), 52);
    EXPECT_EQ(NoteTable::IndexOfName("bB3"), 37);
    EXPECT_EQ(NoteTable::IndexOfName("#A/bB3"), 37);
    EXPECT_EQ(NoteTable::IndexOfName("#A3"), 37);
    EXPECT_EQ(NoteTable::IndexOfName("A0"), 0);
    EXPECT_EQ(NoteTable::IndexOfName("C8"), 87);
    for (std::string_view bad : {"", "H4", "A9", "#G0", "#C8", "bA0", "A", "4", "A4 ", "#B3"}) {
        EXPECT_EQ(NoteTable::IndexOfName(bad), std::nullopt) << bad;
    }
    for (int n = 0; n < kNoteCount; ++n) {
        EXPECT_EQ(NoteTable::IndexOfName(NoteTable::DualName(n)), n);
    }
}

TEST(NearestNoteIndex, BandIsFiftyCentsBelowToFortyNineAbove) {
    CDoreme doreme;
    EXPECT_EQ(doreme.NearestNoteIndex(440.0), 48);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(440.0, 49.9)), 48);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(440.0, 50.0001)), 49);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(440.0, -50.5)), 48); // truncates to -50
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(440.0, -51.5)), 47);
    // Read-out examples: 452 Hz is still A4, 454 Hz is #A4.
    EXPECT_EQ(doreme.NearestNoteIndex(452.0), 48);
    EXPECT_EQ(doreme.NearestNoteIndex(454.0), 49);
}

TEST(NearestNoteIndex, EndsOfTheTable) {
    CDoreme doreme;
    const double a0 = doreme.Frequency(0);
    const double c8 = doreme.Frequency(87);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(a0, -120.0)), 0);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(a0, -149.0)), 0);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(a0, -150.5)), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(a0, -300.0)), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(c8, 49.0)), 87);
    EXPECT_EQ(doreme.NearestNoteIndex(CentsAbove(c8, 50.5)), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(20000.0), std::nullopt);
}

TEST(NearestNoteIndex, NoNoteForFrequenciesThatAreNotPitches) {
    CDoreme doreme;
    EXPECT_EQ(doreme.NearestNoteIndex(0.0), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(-440.0), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(1e-300), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(1e300), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(doreme.NearestNoteIndex(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

TEST(NearestNoteIndex, FollowsTheReference) {
    CDoreme doreme;
    doreme.SetFreqA4(445.0);
    EXPECT_EQ(doreme.NearestNoteIndex(445.0), 48);
    EXPECT_EQ(doreme.NearestNoteIndex(440.0), 48); // 19.6 cents below
    EXPECT_EQ(doreme.NearestNoteIndex(431.0), 47); // 55 cents below
}

TEST(CentsDeviation, SignedDistanceFromTheRow) {
    CDoreme doreme;
    EXPECT_NEAR(doreme.CentsDeviation(445.0, 48), 19.56, 0.01);
    EXPECT_NEAR(doreme.CentsDeviation(440.0, 49), -100.0, 1e-9);
    EXPECT_NEAR(doreme.CentsDeviation(CentsAbove(doreme.Frequency(19), -7.25), 19), -7.25, 1e-9);
    EXPECT_EQ(doreme.CentsDeviation(880.0, 60), 0.0);
}

TEST(ExtendedNeighbours, SemitonesBeyondBothEnds) {
    CDoreme doreme;
    EXPECT_EQ(kNameBelowTable, "#G0");
    EXPECT_EQ(kNameAboveTable, "#C8");
    EXPECT_NEAR(doreme.FrequencyBelowTable(), 25.9565, 1e-4);
    EXPECT_NEAR(doreme.FrequencyAboveTable(), 4434.9221, 1e-4);
}

// A reader on another thread must see each row as either the old or the new frequency while
// the table is rebuilt, never anything in between.
TEST(NoteTable, ReadersSeeOldOrNewDuringRebuild) {
    CDoreme doreme;
    std::vector<double> low(kNoteCount), high(kNoteCount);
    doreme.SetFreqA4(435.0);
    for (int n = 0; n < kNoteCount; ++n) {
        low[n] = doreme.Frequency(n);
    }
    doreme.SetFreqA4(445.0);
    for (int n = 0; n < kNoteCount; ++n) {
        high[n] = doreme.Frequency(n);
    }

    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};
    std::atomic<long> reads{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                for (int n : {0, 20, 48, 87}) {
                    const double f = doreme.Frequency(n);
                    if (f != low[n] && f != high[n]) {
                        ++bad;
                    }
                    ++reads;
                }
            }
        });
    }
    for (int i = 0; i < 20000; ++i) {
        doreme.SetFreqA4((i % 2) ? 445.0 : 435.0);
    }
    stop = true;
    for (auto& t : readers) {
        t.join();
    }
    EXPECT_EQ(bad.load(), 0);
    EXPECT_GT(reads.load(), 0);
}

} // namespace
