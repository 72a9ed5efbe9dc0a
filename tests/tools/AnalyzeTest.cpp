#include "AnalyzeOptions.h"
#include "AudioFile.h"
#include "Doreme.h"
#include "OfflineAnalysis.h"
#include "ReadingWriter.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

double Cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

// A temporary folder of generated audio files, removed afterwards.
class AudioFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("quavelorin-analyze-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // A tone with a fundamental and two weaker harmonics, in every channel.
    std::string WriteTone(const std::string& name, double hz, double seconds, int rate,
                          int channels, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
        const std::string path = (m_dir / name).string();
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = format;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
        const double twoPi = 8.0 * std::atan(1.0);
        const long frames = std::lround(seconds * rate);
        std::vector<float> data(static_cast<std::size_t>(frames * channels));
        for (long i = 0; i < frames; ++i) {
            const double t = static_cast<double>(i) / rate;
            const float v = static_cast<float>(0.4 * std::sin(twoPi * hz * t) +
                                               0.15 * std::sin(twoPi * 2 * hz * t) +
                                               0.05 * std::sin(twoPi * 3 * hz * t));
            for (int c = 0; c < channels; ++c) {
                data[static_cast<std::size_t>(i * channels + c)] = v;
            }
        }
        sf_writef_float(file, data.data(), frames);
        sf_close(file);
        return path;
    }

    std::string WriteText(const std::string& name, const std::string& text) {
        const std::string path = (m_dir / name).string();
        std::ofstream(path) << text;
        return path;
    }

    fs::path m_dir;
};

// Every sample, read in pieces of an odd size so that pieces straddle the file's own.
std::vector<std::int16_t> ReadAll(AudioFile& file) {
    std::vector<std::int16_t> samples;
    std::vector<std::int16_t> piece(5003);
    std::size_t got = 0;
    do {
        got = file.Read(piece);
        samples.insert(samples.end(), piece.begin(), piece.begin() + static_cast<long>(got));
    } while (got == piece.size());
    return samples;
}

std::vector<BlockReading> Analyse(const std::string& path, std::optional<int> note) {
    AudioFile file;
    EXPECT_TRUE(file.Open(path)) << file.Error();
    CDoreme doreme;
    OfflineAnalysis analysis(doreme, note);
    std::vector<BlockReading> rows;
    AnalyseBlocks(
        analysis, [&](std::span<std::int16_t> block) { return file.Read(block); },
        [&](const BlockReading& row) { rows.push_back(row); });
    EXPECT_EQ(file.Error(), "");
    return rows;
}

TEST_F(AudioFiles, ToneReadsInBothModes) {
    const std::string path = WriteTone("a440.wav", 440.0, 3.0, 44100, 1);
    for (std::optional<int> note : {std::optional<int>(), std::optional<int>(48)}) {
        const auto rows = Analyse(path, note);
        ASSERT_EQ(rows.size(), 8u); // 3 s is eight blocks and a part, which is left out
        EXPECT_NEAR(rows[0].timeSeconds, 16384.0 / 44100, 1e-9);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            ASSERT_TRUE(rows[i].rawHz.has_value()) << i;
            EXPECT_NEAR(Cents(*rows[i].rawHz, 440.0), 0.0, 3.0) << i;
            EXPECT_EQ(rows[i].note, "A4");
            EXPECT_EQ(rows[i].mark, "");
            ASSERT_TRUE(rows[i].cents.has_value());
            EXPECT_LE(std::abs(*rows[i].cents), 1);
        }
    }
}

TEST_F(AudioFiles, StartsFromTheTunersStartUpState) {
    // A steady 445 Hz against A4: the read-out climbs from 440 by a third of the gap, about
    // 441.67 Hz (6 cents), then 442.78 Hz.
    const std::string path = WriteTone("a445.wav", 445.0, 1.2, 44100, 1);
    const auto rows = Analyse(path, 48);
    ASSERT_GE(rows.size(), 2u);
    ASSERT_TRUE(rows[0].rawHz && rows[1].rawHz && rows[0].shownHz && rows[1].shownHz);
    EXPECT_NEAR(Cents(*rows[0].rawHz, 445.0), 0.0, 2.0);
    EXPECT_DOUBLE_EQ(*rows[0].shownHz, (*rows[0].rawHz + 2 * 440.0) / 3);
    EXPECT_DOUBLE_EQ(*rows[1].shownHz, (*rows[1].rawHz + 2 * *rows[0].shownHz) / 3);
    EXPECT_NEAR(*rows[0].shownHz, 441.67, 0.1);
    EXPECT_NEAR(*rows[1].shownHz, 442.78, 0.1);
    EXPECT_EQ(rows[0].cents, 6);
    EXPECT_EQ(rows[0].meter, 6);
}

TEST_F(AudioFiles, AutomaticModeFollowsTheNearestNote) {
    const std::string path = WriteTone("e2.wav", 82.41, 3.0, 44100, 1);
    const auto rows = Analyse(path, std::nullopt);
    EXPECT_EQ(rows[4].note, "E2");
    // Note-locked on a different string keeps its target and shows the deviation.
    const auto locked = Analyse(path, 24); // A2, five half tones above
    EXPECT_EQ(locked[4].note, "A2");
}

TEST_F(AudioFiles, StereoAt48kReadsLikeItsMonoTwin) {
    const std::string mono = WriteTone("mono.wav", 330.0, 2.5, 44100, 1);
    const std::string stereo =
        WriteTone("stereo.flac", 330.0, 2.5, 48000, 2, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    AudioFile loaded;
    ASSERT_TRUE(loaded.Open(stereo));
    EXPECT_EQ(loaded.FileRate(), 48000);
    EXPECT_EQ(loaded.FileChannels(), 2);
    EXPECT_NEAR(static_cast<double>(ReadAll(loaded).size()), 2.5 * 44100, 2.0);
    for (std::optional<int> note : {std::optional<int>(), std::optional<int>(43)}) {
        const auto a = Analyse(mono, note);
        const auto b = Analyse(stereo, note);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 1; i < a.size(); ++i) {
            ASSERT_TRUE(a[i].rawHz && b[i].rawHz) << i;
            EXPECT_NEAR(Cents(*b[i].rawHz, *a[i].rawHz), 0.0, 0.5) << i;
            EXPECT_EQ(a[i].note, b[i].note);
        }
    }
}

TEST_F(AudioFiles, ExtremeRatesComeOutAtTheirFullLength) {
    // Nothing the converter holds back at the end is lost, at either end of the range.
    for (const int rate : {1000, 7350, 192000, 768000}) {
        AudioFile file;
        ASSERT_TRUE(file.Open(WriteTone("r.wav", 300.0, 1.7, rate, 1))) << rate;
        EXPECT_NEAR(static_cast<double>(ReadAll(file).size()), 1.7 * 44100, 3.0) << rate;
        EXPECT_EQ(file.Error(), "");
    }
}

TEST(OfflineAnalysis, APartBlockGivesARowOnlyWhenThereIsNoWholeOne) {
    CDoreme doreme;
    auto rowsOf = [&](std::size_t samples) {
        const std::vector<std::int16_t> tone(samples, 1000);
        return AnalyseSamples(tone, doreme, 48).size();
    };
    EXPECT_EQ(rowsOf(0), 0u);
    EXPECT_EQ(rowsOf(1000), 1u);
    EXPECT_EQ(rowsOf(16384), 1u);
    EXPECT_EQ(rowsOf(16385), 1u);
    EXPECT_EQ(rowsOf(2 * 16384 + 16383), 2u);
}

TEST(AnalyzeOptions, NotesFormatsAndReference) {
    auto o = ParseAnalyzeOptions({"--note", "#C5", "x.wav"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.note, 52);
    EXPECT_EQ(ParseAnalyzeOptions({"--note", "bB3", "x.wav"}).note, 37);
    EXPECT_EQ(ParseAnalyzeOptions({"--note", "87", "x.wav"}).note, 87);
    EXPECT_EQ(ParseAnalyzeOptions({"--note", "0", "x.wav"}).note, 0);
    EXPECT_FALSE(ParseAnalyzeOptions({"x.wav"}).note.has_value());
    EXPECT_EQ(ParseAnalyzeOptions({"--a4", "430", "x.wav"}).freqA4, 435.0);
    EXPECT_EQ(ParseAnalyzeOptions({"--a4", "450.5", "x.wav"}).freqA4, 445.0);
    EXPECT_EQ(ParseAnalyzeOptions({"--a4", "441.5", "x.wav"}).freqA4, 441.5);
    EXPECT_EQ(ParseAnalyzeOptions({"--format", "json", "x.wav"}).format, ReadingFormat::Json);
    EXPECT_EQ(ParseAnalyzeOptions({"x.wav", "--format", "csv"}).format, ReadingFormat::Csv);
    EXPECT_TRUE(ParseAnalyzeOptions({"--help"}).help);
}

TEST(AnalyzeOptions, UsageErrors) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"--note", "88", "x.wav"},
                                                 {"--note", "H2", "x.wav"},
                                                 {"--note"},
                                                 {"--a4", "abc", "x.wav"},
                                                 {"--a4", "nan", "x.wav"},
                                                 {"--a4"},
                                                 {"--format", "xml", "x.wav"},
                                                 {"--verbose", "x.wav"},
                                                 {"a.wav", "b.wav"},
                                                 {"--precise", "--note", "E2", "x.wav"}}) {
        EXPECT_NE(ParseAnalyzeOptions(args).error, "") << ::testing::PrintToString(args);
    }
}

TEST(ReadingWriter, ColumnsAndEmptyValues) {
    BlockReading shown{0.372, 440.0848, 440.03, "A4", 0, 0, ""};
    BlockReading silent{0.743, std::nullopt, std::nullopt, "#A/bB4", std::nullopt, -100, "L"};
    std::ostringstream csv, json, text;
    WriteReadings(csv, {shown, silent}, ReadingFormat::Csv);
    EXPECT_EQ(csv.str(), "time_s,raw_hz,shown_hz,note,cents,meter,mark\n"
                         "0.372,440.0848,440.03,A4,0,0,\n"
                         "0.743,,,#A/bB4,,-100,L\n");
    WriteReadings(json, {shown, silent}, ReadingFormat::Json);
    EXPECT_EQ(json.str(),
              "{\"time_s\":0.372,\"raw_hz\":440.0848,\"shown_hz\":440.03,\"note\":\"A4\","
              "\"cents\":0,\"meter\":0,\"mark\":\"\"}\n"
              "{\"time_s\":0.743,\"raw_hz\":null,\"shown_hz\":null,\"note\":\"#A/bB4\","
              "\"cents\":null,\"meter\":-100,\"mark\":\"L\"}\n");
    WriteReadings(text, {shown}, ReadingFormat::Text);
    EXPECT_EQ(text.str().substr(0, text.str().find('\n')),
              "  time_s      raw_hz   shown_hz     note  cents  meter  mark");
}

// The program itself: messages and exit codes a user meets.
struct RunResult {
    int status;
    std::string output;
};

// What the program writes to both streams, or with errorsOnly to its error stream alone.
RunResult RunAnalyzer(const std::string& args, bool errorsOnly = false) {
    const std::string command = std::string(QUAVELORIN_ANALYZE_EXE) + " " + args +
                                (errorsOnly ? " 2>&1 >/dev/null" : " 2>&1");
    RunResult result{-1, {}};
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe)) {
            result.output += buffer;
        }
        const int status = pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(AudioFiles, ProgramReportsEveryErrorInOneLine) {
    auto missing = RunAnalyzer((m_dir / "nothing.wav").string());
    EXPECT_EQ(missing.status, 3);
    EXPECT_EQ(Lines(missing.output), 1);
    EXPECT_NE(missing.output.find("no such file"), std::string::npos) << missing.output;

    auto garbage = RunAnalyzer(WriteText("notes.wav", "this is not audio at all\n"));
    EXPECT_EQ(garbage.status, 3);
    EXPECT_EQ(Lines(garbage.output), 1);
    EXPECT_NE(garbage.output.find("cannot read"), std::string::npos) << garbage.output;

    auto empty = RunAnalyzer(WriteTone("empty.wav", 440.0, 0.0, 44100, 1));
    EXPECT_EQ(empty.status, 3);
    EXPECT_NE(empty.output.find("no audio"), std::string::npos) << empty.output;

    auto folder = RunAnalyzer(m_dir.string());
    EXPECT_EQ(folder.status, 3);

    auto badOption = RunAnalyzer("--speed 2 x.wav");
    EXPECT_EQ(badOption.status, 2);
    EXPECT_EQ(Lines(badOption.output), 1);
    EXPECT_NE(badOption.output.find("--help"), std::string::npos);

    auto help = RunAnalyzer("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--note NOTE"), std::string::npos);

    auto good = RunAnalyzer("--note A4 --format csv " + WriteTone("a.wav", 440.0, 1.0, 44100, 1));
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.output.substr(0, good.output.find('\n')),
              "time_s,raw_hz,shown_hz,note,cents,meter,mark");
    EXPECT_EQ(Lines(good.output), 3); // header and two whole blocks
}

// Overwrites bytes of a file in place.
void Patch(const std::string& path, std::streamoff at, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

TEST_F(AudioFiles, StrangeFilesEndWithStatusThreeAndOneLine) {
    std::vector<std::string> paths = {WriteText("zero-bytes.wav", ""), "/dev/null", "/dev/zero"};
    // The canonical WAV header: channels at byte 22, sample rate at 24.
    const std::string noChannels = WriteTone("no-channels.wav", 440.0, 1.0, 44100, 1);
    Patch(noChannels, 22, std::string(2, '\0'));
    const std::string slow = WriteTone("one-hertz.wav", 440.0, 1.0, 44100, 1);
    Patch(slow, 24, Le32(1));
    const std::string fast = WriteTone("fast.wav", 440.0, 1.0, 44100, 1);
    Patch(fast, 24, Le32(2000000000));
    const std::string cut =
        WriteTone("cut.flac", 440.0, 3.0, 44100, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    fs::resize_file(cut, fs::file_size(cut) / 2);
    paths.insert(paths.end(), {noChannels, slow, fast, cut});
    if (::geteuid() != 0) { // root reads anything
        const std::string locked = WriteTone("locked.wav", 440.0, 1.0, 44100, 1);
        fs::permissions(locked, fs::perms::none);
        paths.push_back(locked);
    }
    for (const std::string& path : paths) {
        const RunResult run = RunAnalyzer("--format csv " + path, true);
        EXPECT_EQ(run.status, 3) << path << ": " << run.output;
        EXPECT_EQ(Lines(run.output), 1) << path << ": " << run.output;
    }
}

TEST_F(AudioFiles, FlacWithoutATotalCountReadsToItsEnd) {
    // A streaming encoder leaves the 36-bit sample count of the stream header (from byte 21)
    // at zero.
    const std::string path =
        WriteTone("live.flac", 440.0, 3.0, 44100, 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string header(8, '\0');
    std::ifstream(path, std::ios::binary).seekg(18).read(header.data(), 8);
    header[3] = static_cast<char>(header[3] & 0xF0);
    std::fill(header.begin() + 4, header.end(), '\0');
    Patch(path, 18, header);
    const RunResult run = RunAnalyzer("--format csv " + path);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Lines(run.output), 9) << run.output; // header and eight whole blocks
}

// Every input that once made the fuzz target fail, through the real program: an answer, never
// a crash.
TEST(FuzzCases, EachEndsWithRowsOrOneErrorLine) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(QUAVELORIN_FUZZ_CASES)) {
        ++cases;
        const std::string path = entry.path().string();
        for (const char* mode : {"", "--note A4 "}) {
            const RunResult errors = RunAnalyzer(mode + path, true);
            EXPECT_TRUE(errors.status == 0 || errors.status == 3) << path << ": " << errors.status;
            EXPECT_EQ(Lines(errors.output), errors.status == 0 ? 0 : 1) << path;
        }
    }
    EXPECT_GT(cases, 0);
}

} // namespace

namespace {

// Three blocks of silence, six of a quiet string at -30 dB, three of a hum at -60 dB.
std::vector<std::int16_t> QuietLoudQuiet(double hz) {
    std::vector<std::int16_t> samples;
    // The string is plucked half way through a block, as a string is.
    for (const auto& [blocks, db, f] :
         {std::tuple{3.5, -200.0, 50.0}, {5.5, -30.0, hz}, {3.0, -60.0, 50.0}}) {
        const double amplitude = 32768.0 * std::pow(10.0, db / 20.0);
        for (int i = 0; i < blocks * 16384; ++i) {
            samples.push_back(static_cast<std::int16_t>(
                std::lround(amplitude * std::sin(2 * M_PI * f * i / 44100))));
        }
    }
    return samples;
}

} // namespace

TEST(OfflineAnalysis, WithAGateQuietRowsShowNothingAndKeepTheTarget) {
    CDoreme doreme;
    const auto samples = QuietLoudQuiet(329.63);
    for (const bool gated : {false, true}) {
        const auto rows = AnalyseSamples(samples, doreme, std::nullopt, false,
                                         gated ? std::optional(-50.0) : std::nullopt);
        ASSERT_EQ(rows.size(), 12u);
        if (!gated) {
            EXPECT_EQ(rows[0].note, "A0"); // silence read as a note
            EXPECT_TRUE(rows[0].shownHz.has_value());
            continue;
        }
        // The block the string is plucked in is half quiet: it is not read either.
        for (int r : {0, 1, 2, 3}) {
            EXPECT_EQ(rows[r].note, "A4") << r; // the start's target, kept
            EXPECT_FALSE(rows[r].shownHz || rows[r].rawHz || rows[r].cents) << r;
        }
        // The first whole loud row starts afresh from its own reading.
        EXPECT_EQ(rows[4].note, "E4");
        ASSERT_TRUE(rows[4].shownHz && rows[4].rawHz);
        EXPECT_DOUBLE_EQ(*rows[4].shownHz, *rows[4].rawHz);
        EXPECT_NEAR(*rows[4].shownHz, 329.63, 0.5);
        for (int r : {9, 10, 11}) {
            EXPECT_EQ(rows[r].note, "E4") << r;
            EXPECT_FALSE(rows[r].shownHz) << r;
            EXPECT_EQ(rows[r].meter, 0) << r;
        }
    }
}

TEST_F(AudioFiles, GateOptionOfTheProgram) {
    const std::string tone = WriteTone("g.wav", 440.0, 1.0, 44100, 1);
    const auto plain = RunAnalyzer("--format csv " + tone);
    const auto gated = RunAnalyzer("--gate -50 --format csv " + tone);
    EXPECT_EQ(gated.status, 0);
    EXPECT_EQ(Lines(gated.output), Lines(plain.output));
    EXPECT_NE(gated.output.find(",A4,"), std::string::npos) << gated.output;
    for (const char* bad : {"--gate 3", "--gate -95", "--gate loud", "--gate"}) {
        const auto refused = RunAnalyzer(std::string(bad) + " " + tone);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_NE(refused.output.find("--gate needs a level"), std::string::npos) << bad;
    }
}
