#include "AnalyzeOptions.h"

#include "Doreme.h"
#include "InstrumentStrings.h"
#include "LevelGate.h"
#include "NoteTable.h"
#include "StrumAnalysis.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>

namespace {

std::optional<int> ParseNote(const std::string& text) {
    if (!text.empty() && std::all_of(text.begin(), text.end(),
                                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        int index = -1;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), index);
        if (ec == std::errc() && end == text.data() + text.size() && index >= kNoteFirst &&
            index <= kNoteLast) {
            return index;
        }
        return std::nullopt;
    }
    return NoteTable::IndexOfName(text);
}

std::optional<double> ParseNumber(const std::string& text) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string BuiltInList() {
    std::string list;
    for (const auto name : Temperament::kBuiltInNames) {
        list += (list.empty() ? "" : ", ") + std::string(name);
    }
    return list;
}

} // namespace

AnalyzeOptions ParseAnalyzeOptions(const std::vector<std::string>& args) {
    AnalyzeOptions options;
    auto fail = [&](std::string message) {
        options.error = std::move(message);
        return options;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--note") {
            const std::string* v = value();
            if (!v) {
                return fail("--note needs a note name such as A4, #C5 or bB3, or an index 0..87");
            }
            options.note = ParseNote(*v);
            if (!options.note) {
                return fail("unknown note '" + *v +
                            "': give a name such as A4, #C5 or bB3, or an index 0..87");
            }
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--temperament") {
            const std::string* v = value();
            if (!v) {
                return fail("--temperament needs a name such as werckmeister3, or a .scl file");
            }
            if (auto builtIn = Temperament::BuiltIn(*v)) {
                options.temperament = *builtIn;
            } else if (const auto loaded = ScalaFile::Load(*v); loaded.scale) {
                options.temperament = Temperament::FromScala(*loaded.scale, *v);
            } else if (v->ends_with(".scl") || std::ifstream(*v).good()) {
                options.scaleError = loaded.error;
                return options;
            } else {
                return fail("unknown temperament '" + *v + "': give one of " + BuiltInList() +
                            ", or a .scl file");
            }
        } else if (arg == "--root") {
            const std::string* v = value();
            const auto root = v ? CDoreme::RootOfName(*v) : std::nullopt;
            if (!root) {
                return fail("--root needs a note name without octave, such as C, #F or bB");
            }
            options.root = *root;
        } else if (arg == "--transpose") {
            const std::string* v = value();
            const auto semitones = v ? ParseNumber(*v) : std::nullopt;
            if (!semitones || *semitones != std::trunc(*semitones) ||
                std::abs(*semitones) > CDoreme::kMaxTranspose) {
                return fail("--transpose needs whole semitones from -12 to 12, such as -2");
            }
            options.transpose = static_cast<int>(*semitones);
        } else if (arg == "--strum") {
            const std::string* v = value();
            if (!v) {
                return fail("--strum needs an instrument: " + InstrumentNames());
            }
            options.strum = FindInstrument(*v);
            if (!options.strum) {
                return fail("unknown instrument '" + *v + "': give one of " + InstrumentNames());
            }
        } else if (arg == "--precise") {
            options.precise = true;
        } else if (arg == "--a4") {
            const std::string* v = value();
            const auto hz = v ? ParseNumber(*v) : std::nullopt;
            if (!hz) {
                return fail("--a4 needs a frequency in Hz, such as 442");
            }
            // Clamped like the stored setting.
            options.freqA4 = std::clamp(*hz, CDoreme::kMinFreqA4, CDoreme::kMaxFreqA4);
        } else if (arg == "--gate") {
            const std::string* v = value();
            const auto db = v ? ParseNumber(*v) : std::nullopt;
            if (!db || *db < LevelGate::kMinDb || *db > LevelGate::kMaxDb) {
                return fail("--gate needs a level in dB from -90 to -10, such as -50");
            }
            options.gate = *db;
        } else if (arg == "--format") {
            const std::string* v = value();
            if (v && *v == "text") {
                options.format = ReadingFormat::Text;
            } else if (v && *v == "csv") {
                options.format = ReadingFormat::Csv;
            } else if (v && *v == "json") {
                options.format = ReadingFormat::Json;
            } else {
                return fail("--format takes text, csv or json");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else if (!options.file.empty()) {
            return fail("only one audio file at a time");
        } else {
            options.file = arg;
        }
    }
    if (options.precise && options.note) {
        return fail("--precise is a kind of automatic mode: give either it or --note");
    }
    if (options.note) {
        // The note is written; the table holds what sounds.
        const int sounding = *options.note + options.transpose;
        if (sounding < kNoteFirst || sounding > kNoteLast) {
            return fail("the written note sounds outside the table A0..C8 when transposed");
        }
        options.note = sounding;
    }
    if (options.strum && (options.note || options.precise)) {
        return fail(
            "--strum measures every string of the instrument: not with --note or --precise");
    }
    if (!options.help && !options.version && options.file.empty()) {
        return fail("no audio file given");
    }
    return options;
}

std::string AnalyzeUsage() {
    return R"(Usage: quavelorin-analyze [OPTIONS] FILE
       quavelorin-analyze --help | --version

Measures the pitch in an audio file exactly as the Quavelorin tuner does live, block by block
(16384 samples, 0.37 s at 44100 Hz), and prints what the tuner would show after each block.

FILE may be anything libsndfile reads: WAV, FLAC, Ogg/Vorbis, AIFF and more, at 1000 to
768000 Hz. Channels are mixed to mono and other sample rates converted to 44100 Hz. The file
is read block by block, so any length works, and rows appear as the blocks are analysed.
Every whole block is analysed. A part block at the end is left out, as silence in it would
skew its reading; only a file shorter than one block gives a row from its part block,
completed with silence.

Options:
  --note NOTE     Note-locked mode: measure around NOTE, as when a note or an instrument
                  string is selected in the tuner. NOTE is a name of the note table (A4, #C5,
                  bB3, #A/bB3; A0 to C8) or an index 0..87 (48 is A4).
                  Without it the tuner runs in automatic mode and the target follows the
                  nearest note.
  --precise       Precise automatic mode: the nearest note is found as in automatic mode,
                  checked against the octave below and above, and once two blocks in a row
                  agree on it, measured as finely as with --note. A new note starts the
                  read-out afresh; until it is confirmed its rows show nothing new, and
                  raw_hz is empty. Not with --note.
  --strum INSTRUMENT
                  Strum mode: measure every string of INSTRUMENT at once, as the tuner does
                  when an instrument is selected in its tree, for strummed strings or strings
                  plucked one after another. INSTRUMENT is the name the tree shows, in any
                  case, or its Latin part alone (guitar, pipa); an instrument of a family is
                  FAMILY/NAME (Guzheng/1=D). Each block gives one row per string, in the
                  instrument's order, with the columns time_s, string (the string's label),
                  note (the string's note), shown_hz (what the string's meter shows) and
                  cents (its deviation from the note); the last two are empty (null in JSON)
                  while the string is not sounding. Not with --note or --precise.
  --a4 HZ         Reference pitch of A4 in Hz (default 440.0); kept within 435.0..445.0.
  --temperament T The temperament of the target notes: equal (default), pythagorean, just,
                  meantone, werckmeister3, kirnberger3, vallotti or young2, or a Scala .scl
                  file. A stays at the reference pitch in 12-note temperaments. A scale of
                  other than 12 notes to the octave is laid degree by degree from the root
                  in octave 4, its notes named [DEGREE]OCTAVE.
  --root NOTE     The key the temperament is laid on: C (default), #C, D, ... B; flats
                  such as bB are read too.
  --transpose N   The instrument sounds N semitones from the written note (-12..12; -2 for
                  a B-flat clarinet): the note column and --note name the written note,
                  frequencies stay what sounds.
  --gate DB       Measure only blocks at least DB loud (-90..-10; the tuner's sensitivity,
                  -50 by default there), as the tuner does live: a quieter block shows
                  nothing and keeps the target, and the read-out starts afresh when sound
                  comes back. The level is the block's RMS, 0 dB for a full-scale sine.
                  Without it every block is measured.
  --format F      text (default, aligned columns), csv (with a header row) or json (one
                  object per line).
  -h, --help      Show this help and exit.
  --version       Show the version and exit.

Columns (CSV header and JSON keys alike):
  time_s    seconds at the block's end
  raw_hz    the block's own result (empty, or null in JSON, when the block gave none)
  shown_hz  the smoothed frequency the read-out shows (a third of each new result)
  note      the target note
  cents     the deviation shown, truncated toward zero
  meter     the meter position, -100..100
  mark      H above +99 cents, L below -99 cents, else empty

The tuner starts as it does on screen: target A4, smoothed frequency 440.0 Hz, read-outs empty.

Exit status: 0 on success, 2 for a usage error or a Scala file that breaks the format
(the message names its line), 3 when the file cannot be read or is
damaged, holds no audio or has a sample rate outside 1000..768000 Hz (rows written before
damage is found stay valid). An uncompressed file cut short is read up to the cut.

Examples:
  quavelorin-analyze --note E2 --format csv guitar-low-e.wav
  quavelorin-analyze --strum guitar --format csv guitar-strum.wav
)";
}
