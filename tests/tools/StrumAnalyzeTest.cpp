#include "AnalyzeOptions.h"
#include "Doreme.h"
#include "InstrumentStrings.h"
#include "StrumSynth.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Analyze(const std::string& args) {
    const fs::path errors =
        fs::temp_directory_path() / ("quavelorin-strum-" + std::to_string(::getpid()) + ".err");
    const std::string command =
        std::string(QUAVELORIN_ANALYZE_EXE) + " " + args + " 2>" + errors.string();
    Outcome run{-1, {}, {}};
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe)) {
            run.out += buffer;
        }
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::ostringstream text;
    text << std::ifstream(errors).rdbuf();
    run.err = text.str();
    fs::remove(errors);
    return run;
}

TEST(StrumOptions, InstrumentsByTheirNames) {
    const auto guitar = FindInstrument("Guitar");
    ASSERT_TRUE(guitar);
    EXPECT_EQ(ParseAnalyzeOptions({"--strum", "guitar", "x.wav"}).strum, guitar);
    EXPECT_EQ(ParseAnalyzeOptions({"--strum", "PIPA", "x.wav"}).strum,
              FindInstrument("Pipa(琵琶)"));
    EXPECT_EQ(FindInstrument("guzheng/1=d"), FindInstrument("Guzheng(古筝)/1=D"));
    EXPECT_TRUE(FindInstrument("Huqin/erhu"));
    EXPECT_FALSE(FindInstrument("1=D"));        // under a family only
    EXPECT_FALSE(FindInstrument("Huqin"));      // a family is no instrument
    EXPECT_FALSE(FindInstrument("guitar/1=D")); // nor is a top-level one a family
    // The violin's upper four positions are its four strings an octave up.
    EXPECT_EQ(PhysicalStrings(InstrumentTable[*FindInstrument("violin")]).size(), 4u);
    EXPECT_EQ(PhysicalStrings(InstrumentTable[*FindInstrument("Guzheng/1=G")]).size(), 21u);
}

TEST(StrumOptions, UsageErrorsEndWithStatusTwo) {
    const Outcome unknown = Analyze("--strum banjo x.wav");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("unknown instrument 'banjo'"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("Guzheng(古筝)/1=D"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("Mandolin"), std::string::npos) << unknown.err;
    for (const char* args : {"--strum guitar --note E2 x.wav", "--precise --strum guitar x.wav",
                             "--strum", "--strum guitar"}) {
        const Outcome run = Analyze(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << run.err;
    }
}

TEST(StrumAnalyzer, EveryStringOfAStrumInCsvAndJson) {
    // A guitar strum with A2 and D3 left out, E2 20 cents flat, G3 at 442 Hz pitch.
    CDoreme doreme;
    std::vector<SynthString> strings;
    for (const auto& [note, cents] : {std::pair{19, -20.0}, {34, 7.85}, {38, 0.0}, {43, 10.0}}) {
        SynthString s;
        s.hz = doreme.Frequency(note) * std::exp2(cents / 1200.0);
        s.start = 0.1 + 0.015 * static_cast<double>(strings.size());
        s.amplitude = 0.08;
        strings.push_back(s);
    }
    std::vector<double> sound(6 * 16384);
    AddStrings(sound, strings, 7);
    const auto samples = ToSamples(sound);
    const fs::path path =
        fs::temp_directory_path() / ("quavelorin-strum-" + std::to_string(::getpid()) + ".wav");
    SF_INFO info{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);

    const Outcome csv = Analyze("--strum Guitar --a4 442 --format csv " + path.string());
    const Outcome json = Analyze("--format json --strum guitar " + path.string());
    fs::remove(path);
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::istringstream lines(csv.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "time_s,string,note,shown_hz,cents");
    std::vector<std::string> last;
    while (std::getline(lines, line)) {
        last.push_back(line);
    }
    ASSERT_EQ(last.size(), 6u * 6u); // six blocks of six strings
    last.erase(last.begin(), last.end() - 6);
    // B3 is in tune at 440 Hz: 7.85 cents flat of it at 442 Hz.
    EXPECT_EQ(last[1].substr(0, 22), "2.229,2--(B3),B3,246.9");
    EXPECT_NEAR(std::stod(last[1].substr(last[1].rfind(',') + 1)), -7.85, 0.2);
    EXPECT_EQ(last[2].substr(0, 21), "2.229,3--(G3),G3,196.");
    EXPECT_EQ(last[2].substr(last[2].size() - 4), ",0.0");
    EXPECT_EQ(last[3], "2.229,4--(D3),D3,,");
    EXPECT_EQ(last[4], "2.229,5--(A2),A2,,");
    EXPECT_EQ(last[5].substr(0, 20), "2.229,6--(E2),E2,81.");

    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("{\"time_s\":2.229,\"string\":\"4--(D3)\",\"note\":\"D3\","
                            "\"shown_hz\":null,\"cents\":null}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"string\":\"6--(E2)\",\"note\":\"E2\",\"shown_hz\":81."),
              std::string::npos)
        << json.out;
}

} // namespace
