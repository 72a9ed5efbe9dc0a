#include "Temperament.h"
#include "Doreme.h"
#include "ScalaFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr int kF4 = 44; // four semitones below A4

double CentsFromEqual(const CDoreme& doreme, int n) {
    return 1200.0 * std::log2(doreme.Frequency(n) / (440.0 * std::pow(2.0, (n - 48) / 12.0)));
}

ScalaScale Parse(const std::string& text) {
    const auto result = ScalaFile::Parse(text, "test.scl");
    EXPECT_TRUE(result.scale) << result.error;
    return result.scale.value_or(ScalaScale{});
}

std::string ParseError(const std::string& text) {
    const auto result = ScalaFile::Parse(text, "bad.scl");
    EXPECT_FALSE(result.scale);
    return result.error;
}

// Werckmeister III written by hand: comments between the values and before the count, ratios
// and cents mixed, text after the values, blank space and a CR before the line ends.
const std::string kWerckmeisterFile = "! werckmeister.scl\r\n"
                                      "!\n"
                                      "Werckmeister III, by hand\n"
                                      "! the count comes next\n"
                                      "  12   notes\n"
                                      "!\n"
                                      "256/243\n"
                                      "192.1799965385 D, a quarter comma narrow\n"
                                      "32/27\n"
                                      "! E\n"
                                      "390.2249956731\n"
                                      "4/3 F\n"
                                      "1024/729\n"
                                      "696.0899982692\n"
                                      "!! G sharp\n"
                                      "128/81\n"
                                      "888.2699948077\n"
                                      "16/9\n"
                                      "1092.1799965385 B\n"
                                      "2/1\n"
                                      "this line after the period is ignored\n";

TEST(Temperament, WerckmeisterOnCKeepsA4AndRaisesFByItsOwnCents) {
    CDoreme doreme;
    doreme.SetTemperament(*Temperament::BuiltIn("werckmeister3"), 0);
    EXPECT_DOUBLE_EQ(doreme.Frequency(kNoteA4), 440.0);
    EXPECT_NEAR(CentsFromEqual(doreme, kF4), 9.775, 1e-3);
    EXPECT_NEAR(CentsFromEqual(doreme, 39), 11.730, 1e-3); // C4: A sits a quarter comma low
    EXPECT_NEAR(CentsFromEqual(doreme, 46), 7.820, 1e-3);  // G4

    // A tone at that F reads 0 cents in Werckmeister III and 9 in equal temperament.
    const double tone = doreme.Frequency(kF4);
    EXPECT_EQ(doreme.NearestNoteIndex(tone), kF4);
    EXPECT_EQ(static_cast<int>(doreme.CentsDeviation(tone, kF4)), 0);
    doreme.SetTemperament(Temperament(), 0);
    EXPECT_EQ(static_cast<int>(doreme.CentsDeviation(tone, kF4)), 9);
}

TEST(Temperament, BuiltInsCloseTheirCircleAndKeepA) {
    for (const auto name : Temperament::kBuiltInNames) {
        const Temperament t = *Temperament::BuiltIn(name);
        ASSERT_TRUE(t.IsTwelveTone()) << name;
        for (int root = 0; root < 12; ++root) {
            EXPECT_NEAR(t.RowCents(48, root), 0.0, 1e-9) << name << " on " << root;
            for (int n = 0; n + 12 < kNoteCount; ++n) {
                EXPECT_NEAR(t.RowCents(n + 12, root) - t.RowCents(n, root), 1200.0, 1e-9);
            }
        }
        for (int d = 1; d < 12; ++d) {
            EXPECT_GT(t.DegreeCents(d), t.DegreeCents(d - 1)) << name;
        }
    }
    // A few degrees as the literature gives them, from C.
    EXPECT_NEAR(Temperament::BuiltIn("meantone")->DegreeCents(4), 386.314, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("meantone")->DegreeCents(3), 310.265, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("pythagorean")->DegreeCents(6), 611.730, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("kirnberger3")->DegreeCents(6), 590.224, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("vallotti")->DegreeCents(5), 501.955, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("young2")->DegreeCents(6), 588.270, 1e-3);
    EXPECT_NEAR(Temperament::BuiltIn("just")->DegreeCents(4), 386.314, 1e-3);
    EXPECT_FALSE(Temperament::BuiltIn("werckmeister"));
}

TEST(Temperament, ScalaFileGivesTheBuiltInRowsOnEveryRoot) {
    const ScalaScale scale = Parse(kWerckmeisterFile);
    EXPECT_EQ(scale.description, "Werckmeister III, by hand");
    ASSERT_EQ(scale.values.size(), 12u);
    EXPECT_EQ(scale.values[1].label, "D, a quarter comma narrow");

    CDoreme builtIn;
    CDoreme fromFile;
    for (int root = 0; root < 12; ++root) {
        builtIn.SetTemperament(*Temperament::BuiltIn("werckmeister3"), root);
        fromFile.SetTemperament(Temperament::FromScala(scale, "werckmeister.scl"), root);
        for (int n = 0; n < kNoteCount; ++n) {
            EXPECT_NEAR(fromFile.Frequency(n), builtIn.Frequency(n), 1e-9 * builtIn.Frequency(n))
                << "root " << root << " row " << n;
            EXPECT_EQ(fromFile.NoteDualName(n), NoteTable::DualName(n));
        }
    }
}

TEST(ScalaFile, ReadsTheFormatsCorners) {
    // An empty description, the count with text after it, "5" as 5/1, cents with a sign or no
    // digit before the point, and a period other than the octave.
    const ScalaScale a = Parse("\n 3 values\n+100.0\n.5\n5\n");
    EXPECT_EQ(a.description, "");
    ASSERT_EQ(a.values.size(), 3u);
    EXPECT_DOUBLE_EQ(a.values[0].cents, 100.0);
    EXPECT_DOUBLE_EQ(a.values[1].cents, 0.5);
    EXPECT_NEAR(a.values[2].cents, 1200.0 * std::log2(5.0), 1e-9);

    const ScalaScale b = Parse("!\n! only comments above\nbohlen\n2\n-10.\n3/1\n");
    EXPECT_DOUBLE_EQ(b.values[0].cents, -10.0);

    // A line starting with a space and '!' is a value line, not a comment.
    EXPECT_NE(ParseError("x\n1\n !2/1\n").find("bad.scl:3:"), std::string::npos);
}

TEST(ScalaFile, RefusesBrokenFilesAtTheirLine) {
    const struct {
        const char* text;
        const char* where;
        const char* what;
    } cases[] = {
        {"", "bad.scl:1:", "before the description"},
        {"! only a comment\n", "bad.scl:2:", "before the description"},
        {"name\n", "bad.scl:2:", "before the count"},
        {"name\ntwelve\n", "bad.scl:2:", "'twelve' is not a count"},
        {"name\n0\n", "bad.scl:2:", "count must be"},
        {"name\n2\n3/2\n", "bad.scl:4:", "ends after 1 of 2"},
        {"name\n2\n! c\n3/2\n\n2/1\n", "bad.scl:5:", "empty line"},
        {"name\n2\n3/0\n2/1\n", "bad.scl:3:", "above zero"},
        {"name\n2\n3/2/1\n2/1\n", "bad.scl:3:", "neither a ratio"},
        {"name\n2\nabc\n2/1\n", "bad.scl:3:", "neither a ratio"},
        {"name\n2\n1.2.3\n2/1\n", "bad.scl:3:", "not a number of cents"},
        {"name\n2\n100000.0\n2/1\n", "bad.scl:3:", "octaves from 1/1"},
        {"name\n2\n99999999999999999999/1\n2/1\n", "bad.scl:3:", "neither a ratio"},
        {"name\n2\n3/2\n1/1\n", "bad.scl:4:", "period"},
        {"name\n1\n-1200.0\n", "bad.scl:3:", "period"},
    };
    for (const auto& c : cases) {
        const std::string error = ParseError(c.text);
        EXPECT_EQ(error.rfind(c.where, 0), 0u) << c.text << " -> " << error;
        EXPECT_NE(error.find(c.what), std::string::npos) << c.text << " -> " << error;
    }
    EXPECT_EQ(ScalaFile::Load("/nonexistent/x.scl").error.rfind("/nonexistent/x.scl:0:", 0), 0u);
}

TEST(Temperament, NineteenToneScaleLaysItsDegreesFromTheRoot) {
    std::string text = "19 equal\n19\n";
    for (int d = 1; d < 19; ++d) {
        text += std::to_string(1200.0 * d / 19) + (d == 11 ? " fa\n" : "\n");
    }
    text += "2/1\n";
    CDoreme doreme;
    doreme.SetTemperament(Temperament::FromScala(Parse(text), "19.scl"), 9); // on A
    EXPECT_NEAR(doreme.Frequency(48), 440.0, 1e-9);
    EXPECT_NEAR(doreme.Frequency(48 + 19), 880.0, 1e-9);
    EXPECT_NEAR(doreme.Frequency(47), 440.0 * std::pow(2.0, -1.0 / 19), 1e-6);
    EXPECT_EQ(doreme.NoteName(48), "[0]4");
    EXPECT_EQ(doreme.NoteName(49), "[1]4");
    EXPECT_EQ(doreme.NoteName(48 + 11), "[fa]4");
    EXPECT_EQ(doreme.NoteName(47), "[18]3");
    EXPECT_EQ(doreme.NoteName(48 + 19), "[0]5");
    doreme.SetTranspose(-2); // two semitones are 3.17 degrees: written three degrees up
    EXPECT_EQ(doreme.NoteName(48), "[3]4");
    doreme.SetTranspose(0);

    // The nearest degree, not the nearest semitone.
    const double between = 440.0 * std::pow(2.0, 4.4 / 19);
    EXPECT_EQ(doreme.NearestNoteIndex(between), 52);
    EXPECT_FALSE(doreme.NearestNoteIndex(doreme.Frequency(kNoteLast) * 1.1));
}

TEST(Transpose, NamesTheWrittenNoteAndKeepsWhatSounds) {
    CDoreme doreme;
    const double before = doreme.Frequency(50);
    doreme.SetTranspose(-2); // B-flat clarinet: a written C sounds B-flat
    EXPECT_EQ(doreme.Frequency(50), before);
    EXPECT_EQ(doreme.NoteDualName(kNoteA4 + 1), "C5"); // #A4 sounds, C5 is written
    EXPECT_EQ(doreme.IndexOfWrittenName("C5"), kNoteA4 + 1);
    EXPECT_EQ(doreme.NoteName(kNoteFirst), "B0");
    EXPECT_EQ(doreme.NoteName(kNoteLast + 1), "#D8");
    EXPECT_EQ(doreme.IndexOfWrittenName("A0"), std::nullopt); // would sound below the table

    doreme.SetTranspose(-9);                  // E-flat alto saxophone
    EXPECT_EQ(doreme.NoteDualName(39), "A4"); // C4 sounds
    doreme.SetTranspose(40);
    EXPECT_EQ(doreme.Transpose(), 12);

    EXPECT_EQ(CDoreme::RootOfName("#F"), 6);
    EXPECT_EQ(CDoreme::RootOfName("bB"), 10);
    EXPECT_EQ(CDoreme::RootOfName("F4"), std::nullopt);
    EXPECT_EQ(CDoreme::RootOfName("H"), std::nullopt);
}

TEST(Temperament, EqualRowsAndBandsStayAsTheyWere) {
    CDoreme reference;
    CDoreme doreme;
    doreme.SetTemperament(*Temperament::BuiltIn("werckmeister3"), 4);
    doreme.SetTemperament(*Temperament::BuiltIn("equal"), 7);
    for (int n = 0; n < kNoteCount; ++n) {
        EXPECT_EQ(doreme.Frequency(n), reference.Frequency(n));
    }
    for (double f = 20.0; f < 5000.0; f *= 1.0007) {
        EXPECT_EQ(doreme.NearestNoteIndex(f), reference.NearestNoteIndex(f));
    }
}

} // namespace
