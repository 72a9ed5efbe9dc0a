#include "AnalyzeOptions.h"

#include "Doreme.h"
#include "InstrumentStrings.h"
#include "NoteTable.h"
#include "StrumAnalysis.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

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
    if (options.strum && (options.note || options.precise)) {
        return fail(
            "--strum measures every string of the instrument: not with --note or --precise");
    }
    if (!options.help && options.file.empty()) {
        return fail("no audio file given");
    }
    return options;
}

std::string AnalyzeUsage() {
    return R"(Usage: quavelorin-analyze [OPTIONS] FILE

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
  --format F      text (default, aligned columns), csv (with a header row) or json (one
                  object per line).
  -h, --help      Show this help and exit.

Columns (CSV header and JSON keys alike):
  time_s    seconds at the block's end
  raw_hz    the block's own result (empty, or null in JSON, when the block gave none)
  shown_hz  the smoothed frequency the read-out shows (a third of each new result)
  note      the target note
  cents     the deviation shown, truncated toward zero
  meter     the meter position, -100..100
  mark      H above +99 cents, L below -99 cents, else empty

The tuner starts as it does on screen: target A4, smoothed frequency 440.0 Hz, read-outs empty.

Exit status: 0 on success, 2 for a usage error, 3 when the file cannot be read or is
damaged, holds no audio or has a sample rate outside 1000..768000 Hz (rows written before
damage is found stay valid). An uncompressed file cut short is read up to the cut.

Examples:
  quavelorin-analyze --note E2 --format csv guitar-low-e.wav
  quavelorin-analyze --strum guitar --format csv guitar-strum.wav
)";
}
