#include "AnalyzeOptions.h"
#include "AnalyzeRun.h"
#include "Doreme.h"
#include "OfflineAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// Long enough for the read-out's smoothing to come from the start-up 440 Hz to well within a
// cent of the tone.
std::vector<std::int16_t> Sine(double hz, int blocks = 24) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(blocks) * 16384);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(
            std::lround(12000.0 * std::sin(8.0 * std::atan(1.0) * hz * i / 44100.0)));
    }
    return samples;
}

BlockReading LastRow(const std::vector<std::string>& args, double hz) {
    const AnalyzeOptions options = ParseAnalyzeOptions(args);
    EXPECT_EQ(options.error, "");
    CDoreme doreme;
    doreme.SetTemperament(options.temperament, options.root);
    doreme.SetTranspose(options.transpose);
    const auto rows = AnalyseSamples(Sine(hz), doreme, options.note);
    return rows.empty() ? BlockReading{} : rows.back();
}

TEST(TemperamentRun, WerckmeisterFReadsZeroWhereEqualReadsNine) {
    const double f = 440.0 * std::pow(2.0, (-400.0 + 9.775) / 1200.0);
    const BlockReading equal = LastRow({"--note", "F4", "x.wav"}, f);
    EXPECT_EQ(equal.note, "F4");
    EXPECT_EQ(equal.cents, 9);
    const BlockReading werckmeister =
        LastRow({"--temperament", "werckmeister3", "--note", "F4", "x.wav"}, f);
    EXPECT_EQ(werckmeister.cents, 0);
}

TEST(TemperamentRun, TransposedReadOutNamesTheWrittenNote) {
    const double sounding = 440.0 * std::pow(2.0, -11.0 / 12.0); // #A3, a clarinet's written C4
    const BlockReading concert = LastRow({"x.wav"}, sounding);
    const BlockReading automatic = LastRow({"--transpose", "-2", "x.wav"}, sounding);
    const BlockReading locked = LastRow({"--transpose", "-2", "--note", "C4", "x.wav"}, sounding);
    EXPECT_EQ(concert.note, "#A/bB3");
    // The names are written; the frequencies and the cents stay what sounds.
    for (const BlockReading& row : {automatic, locked}) {
        EXPECT_EQ(row.note, "C4");
        EXPECT_NEAR(*row.shownHz, sounding, 0.3);
        EXPECT_LE(std::abs(*row.cents), 2);
    }
    EXPECT_EQ(automatic.shownHz, concert.shownHz);
    EXPECT_EQ(automatic.cents, concert.cents);
    EXPECT_EQ(locked.cents, LastRow({"--note", "#A3", "x.wav"}, sounding).cents);
}

TEST(TemperamentRun, OptionsAndBrokenScaleFiles) {
    auto error = [](std::vector<std::string> args) {
        args.push_back("x.wav");
        return ParseAnalyzeOptions(args).error;
    };
    EXPECT_NE(error({"--temperament", "wolf"}).find("werckmeister3"), std::string::npos);
    EXPECT_NE(error({"--root", "C4"}), "");
    EXPECT_NE(error({"--transpose", "13"}), "");
    EXPECT_NE(error({"--transpose", "-12", "--note", "A0"}), ""); // sounds below the table
    EXPECT_EQ(ParseAnalyzeOptions({"--transpose", "-9", "--note", "A4", "x.wav"}).note, 39);
    EXPECT_TRUE(ParseAnalyzeOptions({"--version"}).version);

    const auto dir =
        std::filesystem::temp_directory_path() / ("quavelorin-scala-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string broken = (dir / "broken.scl").string();
    std::ofstream(broken) << "! a comment\nbroken\n3\n3/2\n7/x\n2/1\n";
    const AnalyzeOptions options = ParseAnalyzeOptions({"--temperament", broken, "x.wav"});
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(AnalyzeFile(options, out, err), kExitUsage);
    EXPECT_EQ(err.str(),
              "quavelorin-analyze: " + broken +
                  ":5: '7/x' is neither a ratio such as 3/2 nor cents such as 701.955\n");
    EXPECT_EQ(out.str(), "");

    std::filesystem::remove_all(dir);
}

} // namespace
