// Accuracy of the every-string measurement on synthetic strums, beside the note-locked
// measurement run on each string in turn over the same sound.
//
//   strum_accuracy [--strums N] [--seed S] [--kind 0|1|2] [--only I] [--note-locked no]
//
// --kind runs only six-string (0), partial (1) or single (2) strums, --only the strum numbered
// I of each kind; the strums drawn stay the same. With STRUM_DEBUG set in the environment,
// every wrong or unwanted reading is listed on the error stream; with STRUM_LATE, every strum
// that took longer than 1.5 s, string by string.
//
// Strums: all six strings of a guitar, random detunes of up to +-50 cents (a quarter of them
// exactly in tune), 10-35 ms between strings, down or up; partial strums of two to four
// strings; single low strings. Each file is 5 s long and the strum starts 0.1-0.4 s in.
#include "AudioFormat.h"
#include "Doreme.h"
#include "NoteLockedMeasurement.h"
#include "StrumMeasurement.h"
#include "StrumSynth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::array<int, 6> kGuitar = {19, 24, 29, 34, 38, 43}; // E2 A2 D3 G3 B3 E4
constexpr double kSeconds = 5.0;
constexpr double kSettle = 1.5;
constexpr double kGoodCents = 2.0;

struct Strum {
    std::vector<SynthString> strings; // the sounding ones
    std::vector<int> which;           // their indices in kGuitar
    double onset = 0.0;
};

struct Tally {
    long settledReadings = 0;
    long settledGood = 0;
    long silentBlocks = 0;
    long silentShown = 0;
    std::vector<double> settleTimes; // per strum; infinity when never
    void Add(const Tally& o) {
        settledReadings += o.settledReadings;
        settledGood += o.settledGood;
        silentBlocks += o.silentBlocks;
        silentShown += o.silentShown;
        settleTimes.insert(settleTimes.end(), o.settleTimes.begin(), o.settleTimes.end());
    }
};

Strum MakeStrum(std::mt19937& random, const std::vector<int>& which) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Strum strum;
    strum.which = which;
    strum.onset = 0.1 + 0.3 * unit(random);
    const bool up = unit(random) < 0.3;
    double t = strum.onset;
    std::vector<int> order = which;
    if (up) {
        std::reverse(order.begin(), order.end());
    }
    CDoreme doreme;
    for (const int i : order) {
        SynthString s;
        const double cents = unit(random) < 0.25 ? 0.0 : -50.0 + 100.0 * unit(random);
        s.hz = doreme.Frequency(kGuitar[i]) * std::exp2(cents / 1200.0);
        s.start = t;
        s.amplitude = 0.04 + 0.08 * unit(random);
        s.pluck = 0.08 + 0.22 * unit(random);
        s.stiffness = (0.3 + 2.5 * unit(random)) * 1e-4;
        s.decay = 1.5 + 3.0 * unit(random) * (1.0 - i / 8.0);
        strum.strings.push_back(s);
        t += 0.010 + 0.025 * unit(random);
    }
    std::sort(strum.strings.begin(), strum.strings.end(),
              [](const SynthString& a, const SynthString& b) { return a.hz < b.hz; });
    std::sort(strum.which.begin(), strum.which.end());
    return strum;
}

double CentsOff(double hz, double truth) {
    return 1200.0 * std::log2(hz / truth);
}

// A strum that took too long: each sounding string's detune, make and first good reading, and
// its readings block by block in cents from its truth ("-" while blank).
void PrintLate(const Strum& strum, const std::vector<std::optional<double>>& truth,
               const std::vector<std::vector<std::optional<double>>>& shown,
               const std::vector<double>& firstGood) {
    const char* names[] = {"E2", "A2", "D3", "G3", "B3", "E4"};
    CDoreme doreme;
    std::fprintf(stderr, "late strum, onset %.2f s (block %d)\n", strum.onset,
                 static_cast<int>(strum.onset * kSampleRate / kBlockSamples));
    for (std::size_t j = 0; j < strum.which.size(); ++j) {
        const int s = strum.which[j];
        const SynthString& str = strum.strings[j];
        std::fprintf(stderr,
                     "  %s %+6.1f c amp %.3f pluck %.2f B %.1e decay %.1f start %.3f first %5.2f:",
                     names[s], CentsOff(str.hz, doreme.Frequency(kGuitar[s])), str.amplitude,
                     str.pluck, str.stiffness, str.decay, str.start, firstGood[s]);
        for (std::size_t b = 0; b < std::min<std::size_t>(shown.size(), 8); ++b) {
            if (shown[b][s]) {
                std::fprintf(stderr, " %+6.1f", CentsOff(*shown[b][s], *truth[s]));
            } else {
                std::fprintf(stderr, "      -");
            }
        }
        std::fprintf(stderr, "\n");
    }
}

// Runs one measurement over the blocks. measure(block) gives one optional reading per string.
template <typename Measure>
Tally Score(const Strum& strum, const std::vector<std::int16_t>& samples, Measure measure,
            bool debug = false, bool late = false) {
    Tally tally;
    std::vector<std::optional<double>> truth(kGuitar.size());
    for (std::size_t j = 0; j < strum.which.size(); ++j) {
        truth[strum.which[j]] = strum.strings[j].hz;
    }
    std::vector<double> firstGood(kGuitar.size(), INFINITY);
    const std::size_t blocks = samples.size() / kBlockSamples;
    std::vector<std::vector<std::optional<double>>> shown;
    for (std::size_t b = 0; b < blocks; ++b) {
        const auto readings = measure(std::span(samples).subspan(b * kBlockSamples, kBlockSamples));
        shown.push_back(readings);
        const double end = static_cast<double>((b + 1) * kBlockSamples) / kSampleRate;
        const double since = end - strum.onset;
        for (std::size_t s = 0; s < kGuitar.size(); ++s) {
            if (!truth[s]) {
                ++tally.silentBlocks;
                tally.silentShown += readings[s].has_value();
                if (readings[s] && debug) {
                    std::fprintf(stderr,
                                 "silent %zu shows %.2f at %.2f s after strum (sounding:", s,
                                 *readings[s], since);
                    for (std::size_t j = 0; j < strum.which.size(); ++j) {
                        std::fprintf(stderr, " %d@%.2f", strum.which[j], strum.strings[j].hz);
                    }
                    std::fprintf(stderr, ")\n");
                }
                continue;
            }
            const bool good =
                readings[s] && std::abs(CentsOff(*readings[s], *truth[s])) <= kGoodCents;
            if (good && since > 0.0) {
                firstGood[s] = std::min(firstGood[s], since);
            }
            if (debug && !good && since > 0.5) {
                std::fprintf(stderr, "string %zu at %.2f s: %.3f, truth %.3f\n", s, since,
                             readings[s].value_or(0.0), *truth[s]);
            }
            if (since >= kSettle) {
                ++tally.settledReadings;
                tally.settledGood += good;
            }
        }
    }
    double settle = 0.0;
    for (std::size_t s = 0; s < kGuitar.size(); ++s) {
        if (truth[s]) {
            settle = std::max(settle, firstGood[s]);
        }
    }
    tally.settleTimes.push_back(settle);
    if (late && settle > kSettle) {
        PrintLate(strum, truth, shown, firstGood);
    }
    if (std::getenv("STRUM_DEBUG")) {
        const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
        std::fprintf(stderr, "strum peak %d %d\n", *lo, *hi);
    }
    return tally;
}

void Print(const char* name, const char* method, Tally t) {
    std::sort(t.settleTimes.begin(), t.settleTimes.end());
    const auto at = [&](double q) {
        return t.settleTimes[static_cast<std::size_t>(q * (t.settleTimes.size() - 1))];
    };
    const long late = std::count_if(t.settleTimes.begin(), t.settleTimes.end(),
                                    [](double v) { return v > kSettle; });
    std::printf("%-14s %-12s %8.1f %%  %8.2f %%  %6.2f s  %6.2f s  %5.1f %%\n", name, method,
                t.settledReadings ? 100.0 * t.settledGood / t.settledReadings : 0.0,
                t.silentBlocks ? 100.0 * t.silentShown / t.silentBlocks : 0.0, at(0.5), at(0.9),
                100.0 * late / t.settleTimes.size());
}

} // namespace

int main(int argc, char** argv) {
    int strums = 40;
    std::uint32_t seed = 1;
    bool compare = true;
    int onlyKind = -1;
    int only = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--strums") == 0) {
            strums = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            seed = static_cast<std::uint32_t>(std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--note-locked") == 0) {
            compare = std::strcmp(argv[i + 1], "no") != 0;
        } else if (std::strcmp(argv[i], "--only") == 0) {
            only = std::atoi(argv[i + 1]);
        } else if (std::strcmp(argv[i], "--kind") == 0) {
            onlyKind = std::atoi(argv[i + 1]);
        }
    }
    const bool late = std::getenv("STRUM_LATE") != nullptr;
    std::mt19937 random(seed);
    CDoreme doreme;
    std::vector<double> notes;
    for (const int n : kGuitar) {
        notes.push_back(doreme.Frequency(n));
    }

    std::printf("%-14s %-12s %10s  %10s  %8s  %8s  %6s\n", "strums", "method", "good>=1.5s",
                "silent-shown", "settle50", "settle90", ">1.5s");
    const char* kinds[] = {"six strings", "partial", "single low"};
    for (int kind = 0; kind < 3; ++kind) {
        Tally ours;
        Tally locked;
        for (int n = 0; n < strums; ++n) {
            std::vector<int> which;
            if (kind == 0) {
                which = {0, 1, 2, 3, 4, 5};
            } else if (kind == 1) {
                const int count = 2 + static_cast<int>(random() % 3);
                const int first = static_cast<int>(random() % (7 - count));
                for (int i = 0; i < count; ++i) {
                    which.push_back(first + i);
                }
                if (random() % 2 == 0 && count == 3) {
                    which = {1, 2, 3}; // the middle three: E2, B3 and E4 stay silent
                }
            } else {
                which = {static_cast<int>(random() % 3)};
            }
            const Strum strum = MakeStrum(random, which);
            const auto phases = static_cast<std::uint32_t>(random());
            if ((onlyKind >= 0 && kind != onlyKind) || (only >= 0 && n != only)) {
                continue;
            }
            std::vector<double> sound(static_cast<std::size_t>(kSeconds * kSampleRate));
            AddStrings(sound, strum.strings, phases);
            const auto samples = ToSamples(sound);
            if (late) {
                std::fprintf(stderr, "strum %d\n", n);
            }
            StrumMeasurement strumMeter(notes);
            ours.Add(Score(
                strum, samples,
                [&](std::span<const std::int16_t> block) { return strumMeter.AppendBlock(block); },
                std::getenv("STRUM_DEBUG") != nullptr, late));
            if (!compare) {
                continue;
            }

            std::vector<NoteLockedMeasurement> meters(kGuitar.size());
            locked.Add(Score(strum, samples, [&](std::span<const std::int16_t> block) {
                std::vector<std::optional<double>> r;
                for (std::size_t s = 0; s < kGuitar.size(); ++s) {
                    const int note = kGuitar[s];
                    meters[s].AppendDecimated(block, NoteLockedMeasurement::NoteFactor(note));
                    r.push_back(meters[s].NoteLockedMeasure(note, doreme.Notes()));
                }
                return r;
            }));
        }
        if (onlyKind >= 0 && kind != onlyKind) {
            continue;
        }
        Print(kinds[kind], "every-string", ours);
        if (compare) {
            Print(kinds[kind], "note-locked", locked);
        }
    }
    return 0;
}
